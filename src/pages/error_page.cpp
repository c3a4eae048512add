#include "pages/error_page.h"

#include "resource.h"

namespace tessary {

ErrorPage::ErrorPage(std::shared_ptr<LanguageManager> languageManager, HWND parent)
    : IPage(std::move(languageManager), IDD_ERROR_PAGE, parent) {}

BOOL ErrorPage::OnInitDialog() {
    m_image.Attach(GetItem(IDC_PAGE_IMAGE));
    UpdateData();
    m_image.LoadFromResource(103, L"IMAGE_BLOB3");
    AddLocalizedControl(IDC_CLOSE, "BUTTON_CLOSE");
    UpdateTexts();
    return TRUE;
}

void ErrorPage::UpdateData() {
    ::SetDlgItemTextW(GetSafeHwnd(), IDC_ERROR_TITLE, m_title.c_str());
    ::SetDlgItemTextW(GetSafeHwnd(), IDC_ERROR_TEXT, m_text.c_str());
}

bool ErrorPage::OnCommand(WORD id, WORD code, HWND control) {
    if (id == IDC_CLOSE && code == BN_CLICKED) {
        OnCloseButton();
        return true;
    }
    return IPage::OnCommand(id, code, control);
}

void ErrorPage::OnCloseButton() {
    if (m_onButton) m_onButton(ButtonType::Close);
}

}  // namespace tessary
