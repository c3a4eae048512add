#pragma once
#include "pages/bold_title_font.h"
#include "pages/callback_page.h"

namespace tessary {

// The BTClassic family's notice before the licence.
class WarningPageBTClassic : public CallbackPage {
public:
    WarningPageBTClassic(std::shared_ptr<LanguageManager> languageManager, HWND parent);

    std::wstring GetName() const override { return L"WarningPageBTClassic"; }

protected:
    BOOL OnInitDialog() override;
    bool OnCommand(WORD id, WORD code, HWND control) override;

private:
    BoldTitleFont m_titleFont;
};

}  // namespace tessary
