#include "pages/finish_page_dlm.h"

#include "config/configuration_manager.h"
#include "resource.h"

namespace tessary {
namespace {

constexpr LocalizedControl kChoiceTexts[] = {{IDC_LAUNCH_RADIO, "LAUNCH_RADIO"},
                                             {IDC_OPEN_FOLDER_RADIO, "OPEN_FOLDER_RADIO"}};

}  // namespace

FinishPageDlm::FinishPageDlm(std::shared_ptr<LanguageManager> languageManager, HWND parent, Launcher launcher)
    : FinishPage(std::move(languageManager), IDD_FINISH_PAGE_DLM, parent, kChoiceTexts, IDC_LAUNCH_RADIO,
                 std::move(launcher)) {}

void FinishPageDlm::StartChosen(const Launcher& launcher) {
    const std::wstring path = ConfigurationManager::GetInstance()->m_downloadedPath;
    if (::SendMessageW(GetItem(IDC_LAUNCH_RADIO), BM_GETCHECK, 0, 0) == BST_CHECKED) {
        launcher(path, std::wstring());
    } else if (::SendMessageW(GetItem(IDC_OPEN_FOLDER_RADIO), BM_GETCHECK, 0, 0) == BST_CHECKED) {
        // Explorer opens the folder with the file selected.
        launcher(L"explorer.exe", L"/select,\"" + path + L"\"");
    }
}

}  // namespace tessary
