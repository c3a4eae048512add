#include "pages/warning_page.h"

#include "resource.h"

namespace tessary {

WarningPageBTClassic::WarningPageBTClassic(std::shared_ptr<LanguageManager> languageManager, HWND parent)
    : CallbackPage(std::move(languageManager), IDD_WARNING_PAGE, parent) {}

BOOL WarningPageBTClassic::OnInitDialog() {
    AddLocalizedControl(IDC_WARNING_TITLE, "WARNING_TITLE");
    AddLocalizedControl(IDC_WARNING_SUBTITLE, "WARNING_SUBTITLE");
    AddLocalizedControl(IDC_WARNING_TEXT, "WARNING_TEXT");
    AddLocalizedControl(IDC_NEXT, "BUTTON_NEXT");
    AddLocalizedControl(IDC_BACK, "BUTTON_BACK");
    UpdateTexts();
    m_titleFont.ApplyTo(GetItem(IDC_WARNING_TITLE));
    return TRUE;
}

bool WarningPageBTClassic::OnCommand(WORD id, WORD code, HWND control) {
    if (code == BN_CLICKED && (id == IDC_NEXT || id == IDC_BACK)) {
        if (m_onButton) m_onButton(id == IDC_NEXT ? ButtonType::Next : ButtonType::Back);
        return true;
    }
    return IPage::OnCommand(id, code, control);
}

}  // namespace tessary
