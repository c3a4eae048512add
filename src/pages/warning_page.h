#pragma once
#include "pages/bold_title_font.h"
#include "pages/ipage.h"

namespace tessary {

// The BTClassic family's notice before the licence.
class WarningPageBTClassic : public IPage {
public:
    WarningPageBTClassic(std::shared_ptr<LanguageManager> languageManager, HWND parent);

    void SetButtonCallback(ButtonCallback callback) override { m_onButton = std::move(callback); }
    void SetErrorCallback(ErrorCallback callback) override { m_onError = std::move(callback); }
    std::wstring GetName() const override { return L"WarningPageBTClassic"; }

protected:
    BOOL OnInitDialog() override;
    bool OnCommand(WORD id, WORD code, HWND control) override;

private:
    ButtonCallback m_onButton;
    ErrorCallback m_onError;
    BoldTitleFont m_titleFont;
};

}  // namespace tessary
