#pragma once
#include <span>

#include "config/configuration_manager.h"
#include "pages/bold_title_page.h"

namespace tessary {

// A BT page of settings for the installer: one check box per setting, all ticked at first. Next
// stores them in the configuration and goes on; Back leaves what an earlier Next stored.
class CheckBoxPage : public BoldTitlePage {
public:
    // The settings the boxes stand for, in the boxes' order.
    using Settings = std::span<bool> (*)(ConfigurationManager& config);

    CheckBoxPage(std::shared_ptr<LanguageManager> languageManager, HWND parent, const BoldTitlePageLayout& layout,
                 std::span<const int> boxes, Settings settings)
        : BoldTitlePage(std::move(languageManager), parent, layout), m_boxes(boxes), m_settings(settings) {}

protected:
    BOOL OnInitDialog() override;
    void OnButton(ButtonType type) override;

private:
    std::span<const int> m_boxes;
    Settings m_settings;
};

}  // namespace tessary
