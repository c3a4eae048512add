#include "pages/download_page.h"

#include <commctrl.h>

#include <exception>

#include "config/configuration_manager.h"
#include "config/package.h"
#include "platform/detached_task.h"
#include "platform/diagnostics.h"
#include "platform/ports.h"
#include "resource.h"
#include "ui/progress_bar.h"

namespace tessary {
namespace {

constexpr LocalizedControl kTexts[] = {{IDC_PROGRESS_TITLE, "PROGRESS_TITLE"}, {IDC_PROGRESS_DESC, "PROGRESS_DESC"}};
constexpr UINT kMarqueeStepMs = 30;

void Report(Package& package, int code, const nlohmann::json& extra) { package.ReportEvent(code, extra); }

// A transfer that ended in an exception (no thread to run it, no memory) failed like any other.
DownloadManager::Result TakeDownloadResult(std::future<DownloadManager::Result>& task) {
    try {
        return task.get();
    } catch (const std::exception& failure) {
        platform::ReportCurrentException("download");
        const auto text = platform::Text().ToWide(platform::CodePage::Utf8, failure.what());
        return {false, text.ValueOr(std::wstring(L"Unexpected failure."))};
    }
}

}  // namespace

DownloadPage::DownloadPage(std::shared_ptr<LanguageManager> languageManager, HWND parent,
                           const DownloadPageLayout& layout)
    : CallbackPage(std::move(languageManager), parent, {layout.name, layout.templateId, {}}), m_layout(layout) {}

BOOL DownloadPage::OnInitDialog() {
    AddLocalizedControls(kTexts);
    UpdateTexts();
    m_progress = GetItem(IDC_PROGRESS);
    m_image.Attach(GetItem(IDC_PAGE_IMAGE));
    ShowImage();
    return TRUE;
}

bool DownloadPage::OnMessage(UINT message, WPARAM wParam, LPARAM lParam, LRESULT& result) {
    switch (message) {
        case WM_TIMER:
            if (wParam == kDownloadTimer) {
                OnDownloadTimer();
            } else if (wParam == kInstallerTimer) {
                OnInstallerTimer();
            }
            return CallbackPage::OnMessage(message, wParam, lParam, result);
        case kDownloadProgressMessage:
            result = OnDownloadProgress(wParam, lParam);
            return true;
        case kDownloadUnknownSizeMessage:
            result = OnDownloadLengthUnknown(wParam, lParam);
            return true;
        default:
            return CallbackPage::OnMessage(message, wParam, lParam, result);
    }
}

void DownloadPage::OnNavigateToPage() {
    // The host shows this page once per run; the work is not started twice.
    if (m_run) return;
    m_run.emplace(m_layout.flavour, *ConfigurationManager::GetInstance(), Report);
    m_run->Begin();
    StartNextDownload();
}

void DownloadPage::StartNextDownload() {
    // Once exit is confirmed no transfer starts.
    if (ConfigurationManager::GetInstance()->m_exitRequested) return;
    const DownloadOrder order = m_run->NextDownload();
    const auto window = reinterpret_cast<platform::WindowHandle>(GetSafeHwnd());
    // A thread nobody waits for: the page's end never waits for a transfer.
    m_downloadTask = platform::StartDetachedTask([order, window] {
        return DownloadManager::GetInstance()->DownloadFile(order.urls, window, order.fileName, order.temporaryFolder,
                                                            order.packageFolder);
    });
    ::SetTimer(GetSafeHwnd(), kDownloadTimer, kPollMs, nullptr);
}

void DownloadPage::OnDownloadTimer() {
    if (!IsReady(m_downloadTask)) return;
    ::KillTimer(GetSafeHwnd(), kDownloadTimer);
    const auto [ok, text] = TakeDownloadResult(m_downloadTask);
    // The transfer is over, so nothing else writes the path now.
    m_run->DownloadEnded(ok, text, ok ? DownloadManager::GetInstance()->m_lastDownloadedPath : std::wstring());
    if (m_run->HasDownload()) {
        StartNextDownload();
    } else {
        OnDownloadsDone();
    }
}

LRESULT DownloadPage::OnDownloadProgress(WPARAM wParam, LPARAM) {
    // Above 100 there is no share to show, only that something moves.
    if (wParam > 100) {
        ui::StartMarquee(m_progress, kMarqueeStepMs);
        return 0;
    }
    if (m_marqueeOn) {
        ui::StopMarquee(m_progress);
        m_marqueeOn = false;
    }
    ::SendMessageW(m_progress, PBM_SETPOS, wParam, 0);
    return 0;
}

LRESULT DownloadPage::OnDownloadLengthUnknown(WPARAM, LPARAM) {
    ui::StartMarquee(m_progress, kMarqueeStepMs);
    m_marqueeOn = true;
    return 0;
}

void DownloadPage::LaunchWithoutWaiting() {
    const LaunchOrder order = m_run->NextLaunch();
    // A program nobody waits for is done with as soon as its process exists (or could not be
    // made): no thread of its own is needed for that.
    m_run->LaunchEnded(RunExecutable(order.path, order.arguments, false));
}

std::vector<std::wstring> DownloadPage::FoldersInUse() const {
    return m_run ? m_run->FoldersInUse() : std::vector<std::wstring>();
}

void DownloadPage::CompletePage() {
    if (m_run->MainFailed() && m_onError) {
        m_onError(m_languageManager->GetText(m_layout.errorTitleKey),
                  m_languageManager->GetText(m_layout.errorTextKey));
        return;
    }
    ReportButton(ButtonType::Next);
}

}  // namespace tessary
