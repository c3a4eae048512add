#include "pages/finish_page_dlm.h"

#include "config/configuration_manager.h"
#include "resource.h"

namespace tessary {
namespace {

bool IsTicked(HWND page, int id) { return ::SendDlgItemMessageW(page, id, BM_GETCHECK, 0, 0) == BST_CHECKED; }

// Finish starts the downloaded file, or Explorer showing it selected in its folder; nothing when
// the user cleared both.
void StartDownloadedFile(HWND page, const Launcher& launcher) {
    const std::wstring path = ConfigurationManager::GetInstance()->m_downloadedPath;
    if (IsTicked(page, IDC_LAUNCH_RADIO)) {
        launcher(path, std::wstring());
    } else if (IsTicked(page, IDC_OPEN_FOLDER_RADIO)) {
        launcher(L"explorer.exe", L"/select,\"" + path + L"\"");
    }
}

constexpr LocalizedControl kChoiceTexts[] = {{IDC_LAUNCH_RADIO, "LAUNCH_RADIO"},
                                             {IDC_OPEN_FOLDER_RADIO, "OPEN_FOLDER_RADIO"}};
constexpr FinishPageLayout kLayout{L"FinishPageDLM", IDD_FINISH_PAGE_DLM, kChoiceTexts, IDC_LAUNCH_RADIO,
                                   StartDownloadedFile};

}  // namespace

FinishPageDlm::FinishPageDlm(std::shared_ptr<LanguageManager> languageManager, HWND parent, Launcher launcher)
    : FinishPage(std::move(languageManager), parent, kLayout, std::move(launcher)) {}

}  // namespace tessary
