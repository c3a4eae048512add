#include "pages/finish_page_dlm.h"

#include "config/configuration_manager.h"
#include "resource.h"
#include "ui/check_state.h"

namespace tessary {
namespace {

// Finish starts the downloaded file, or Explorer showing it selected in its folder; nothing when
// the user cleared both.
void StartDownloadedFile(HWND page, const Launcher& launcher) {
    const std::wstring path = ConfigurationManager::GetInstance()->m_downloadedPath;
    if (ui::IsTicked(::GetDlgItem(page, IDC_LAUNCH_RADIO))) {
        launcher(path, std::wstring());
    } else if (ui::IsTicked(::GetDlgItem(page, IDC_OPEN_FOLDER_RADIO))) {
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
