#include "pages/download_page.h"
#include "resource.h"

namespace tessary {
namespace {

constexpr DownloadPageLayout kLayout{L"DownloadPageISV", IDD_DOWNLOAD_PAGE_ISV, WizardType::Isv, "PAGE_ERROR_TITLE",
                                     "PAGE_ERROR_TEXT"};
constexpr int kEmbeddedPicture = 101;

}  // namespace

DownloadPageIsv::DownloadPageIsv(std::shared_ptr<LanguageManager> languageManager, HWND parent)
    : DownloadPage(std::move(languageManager), parent, kLayout) {}

void DownloadPageIsv::ShowImage() { m_image.LoadFromResource(kEmbeddedPicture, L"IMAGE_BLOB"); }

// From here on installers run: the host asks the installer question on close, and the bar only
// says that work goes on.
void DownloadPageIsv::OnDownloadsDone() {
    if (m_onInstallerStarted) m_onInstallerStarted();
    OnDownloadLengthUnknown(0, 0);
    RunNextInstaller();
}

void DownloadPageIsv::RunNextInstaller() {
    // Nothing could be downloaded: the error page takes over.
    if (!m_run->HasLaunch()) {
        CompletePage();
        return;
    }
    if (m_run->NextLaunchIsMainProduct()) {
        // The product's installer is waited for on its own thread; the timer polls for its end.
        const LaunchOrder order = m_run->NextLaunch();
        m_runTask = RunExecutableAsync(order.path, order.arguments, true);
        ::SetTimer(GetSafeHwnd(), kInstallerTimer, kPollMs, nullptr);
        return;
    }
    while (m_run->HasLaunch()) LaunchWithoutWaiting();
    InstallerFinished();
    CompletePage();
}

void DownloadPageIsv::OnInstallerTimer() {
    if (!IsReady(m_runTask)) return;
    ::KillTimer(GetSafeHwnd(), kInstallerTimer);
    InstallerFinished();
    m_run->LaunchEnded(m_runTask.get());
    if (m_run->HasLaunch()) {
        RunNextInstaller();
    } else {
        CompletePage();
    }
}

void DownloadPageIsv::InstallerFinished() {
    if (m_onInstallerFinished) m_onInstallerFinished();
}

}  // namespace tessary
