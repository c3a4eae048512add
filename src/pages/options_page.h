#pragma once
#include "pages/bold_title_font.h"
#include "pages/ipage.h"

namespace tessary {

// Three options of the installation, all ticked at first. Next stores them for the installer.
class OptionsPageBTClassic : public IPage {
public:
    OptionsPageBTClassic(std::shared_ptr<LanguageManager> languageManager, HWND parent);

    void SetButtonCallback(ButtonCallback callback) override { m_onButton = std::move(callback); }
    void SetErrorCallback(ErrorCallback callback) override { m_onError = std::move(callback); }
    std::wstring GetName() const override { return L"OptionsPageBTClassic"; }

protected:
    BOOL OnInitDialog() override;
    bool OnCommand(WORD id, WORD code, HWND control) override;

private:
    void OnNext();

    ButtonCallback m_onButton;
    ErrorCallback m_onError;
    BoldTitleFont m_titleFont;
};

}  // namespace tessary
