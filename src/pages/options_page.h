#pragma once
#include "pages/bold_title_font.h"
#include "pages/callback_page.h"

namespace tessary {

// Three options of the installation, all ticked at first. Next stores them for the installer.
class OptionsPageBTClassic : public CallbackPage {
public:
    OptionsPageBTClassic(std::shared_ptr<LanguageManager> languageManager, HWND parent);

    std::wstring GetName() const override { return L"OptionsPageBTClassic"; }

protected:
    BOOL OnInitDialog() override;
    bool OnCommand(WORD id, WORD code, HWND control) override;

private:
    void OnNext();

    BoldTitleFont m_titleFont;
};

}  // namespace tessary
