#include "pages/finish_page_dlm.h"

#include "config/configuration_manager.h"
#include "resource.h"
#include "ui/check_state.h"
#include "ui/window_style.h"

namespace tessary {

FinishPageDlm::FinishPageDlm(std::shared_ptr<LanguageManager> languageManager, HWND parent, Launcher launcher)
    : CallbackPage(std::move(languageManager), IDD_FINISH_PAGE_DLM, parent), m_launcher(std::move(launcher)) {}

BOOL FinishPageDlm::OnInitDialog() {
    m_launchRadio = GetItem(IDC_LAUNCH_RADIO);
    m_openFolderRadio = GetItem(IDC_OPEN_FOLDER_RADIO);
    m_image.Attach(GetItem(IDC_PAGE_IMAGE));
    AddLocalizedControl(IDC_FINISH_TITLE, "PAGE_FINISH_TITLE");
    AddLocalizedControl(IDC_FINISH_TEXT, "PAGE_FINISH_TEXT");
    AddLocalizedControl(IDC_FINISH, "BUTTON_FINISH");
    AddLocalizedControl(IDC_LAUNCH_RADIO, "LAUNCH_RADIO");
    AddLocalizedControl(IDC_OPEN_FOLDER_RADIO, "OPEN_FOLDER_RADIO");
    UpdateTexts();
    ui::SetChecked(m_launchRadio, true);
    m_image.LoadFromResource(102, L"IMAGE_BLOB2");
    return TRUE;
}

void FinishPageDlm::OnNavigateToPage() { ui::RemoveWindowStyle(::GetParent(GetSafeHwnd()), WS_MINIMIZEBOX); }

void FinishPageDlm::OnFinish() {
    const std::wstring path = ConfigurationManager::GetInstance()->m_downloadedPath;
    if (::SendMessageW(m_launchRadio, BM_GETCHECK, 0, 0) == BST_CHECKED) {
        m_launcher(path, std::wstring());
    } else if (::SendMessageW(m_openFolderRadio, BM_GETCHECK, 0, 0) == BST_CHECKED) {
        // Explorer opens the folder with the file selected.
        m_launcher(L"explorer.exe", L"/select,\"" + path + L"\"");
    }
    if (m_onButton) m_onButton(ButtonType::Finish);
}

bool FinishPageDlm::OnCommand(WORD id, WORD code, HWND control) {
    if (id == IDC_FINISH && code == BN_CLICKED) {
        OnFinish();
        return true;
    }
    return IPage::OnCommand(id, code, control);
}

}  // namespace tessary
