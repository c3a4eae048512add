#include "config/configuration_manager.h"
#include "pages/download_page.h"
#include "resource.h"

namespace tessary {
namespace {

constexpr DownloadPageLayout kLayout{L"DownloadPageDLM", IDD_DOWNLOAD_PAGE_DLM, WizardType::Dlm,
                                     "PAGE_DOWNLOAD_ERROR_TITLE", "PAGE_DOWNLOAD_ERROR_DESC"};

}  // namespace

DownloadPageDlm::DownloadPageDlm(std::shared_ptr<LanguageManager> languageManager, HWND parent)
    : DownloadPage(std::move(languageManager), parent, kLayout) {}

void DownloadPageDlm::ShowImage() { m_image.SetImage(ConfigurationManager::GetInstance()->m_productImage); }

void DownloadPageDlm::OnDownloadsDone() {
    if (m_run->HasLaunch()) {
        RunNextInstaller();
    } else {
        CompletePage();
    }
}

// The offers start one after the other in one go; the product itself is left to the finish page.
void DownloadPageDlm::RunNextInstaller() {
    while (m_run->HasLaunch()) LaunchWithoutWaiting();
    CompletePage();
}

}  // namespace tessary
