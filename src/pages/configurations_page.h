#pragma once
#include "pages/bold_title_font.h"
#include "pages/callback_page.h"

namespace tessary {

// Five settings of the installed product, all ticked at first. Next stores them for the
// installer; Back leaves what an earlier Next stored.
class ConfigurationsPageBTClassic : public CallbackPage {
public:
    ConfigurationsPageBTClassic(std::shared_ptr<LanguageManager> languageManager, HWND parent);

    std::wstring GetName() const override { return L"ConfigurationsPageBTClassic"; }

protected:
    BOOL OnInitDialog() override;
    bool OnCommand(WORD id, WORD code, HWND control) override;

private:
    void OnNext();

    BoldTitleFont m_titleFont;
};

}  // namespace tessary
