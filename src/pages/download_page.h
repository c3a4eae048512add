#pragma once
#include <chrono>
#include <future>
#include <optional>
#include <string>
#include <vector>

#include "config/wizard_type.h"
#include "install/download_run.h"
#include "install/run_executable.h"
#include "net/download_manager.h"
#include "pages/callback_page.h"
#include "ui/static_from_image.h"

namespace tessary {

// What sets one download page apart from the other: its name and template, its flavour, and the
// texts of its error page.
struct DownloadPageLayout {
    const wchar_t* name;
    int templateId;
    WizardType flavour;
    const char* errorTitleKey;
    const char* errorTextKey;
};

// The page that does the work the user agreed to: it downloads the main product and the accepted
// offers one file at a time, shows the current file's progress, then starts the programs and
// moves on to the finish page or, when the main product failed, to the error page. The decisions
// are the run's (DownloadRun); the page starts transfers and launches and polls them.
class DownloadPage : public CallbackPage {
public:
    DownloadPage(std::shared_ptr<LanguageManager> languageManager, HWND parent, const DownloadPageLayout& layout);

    // Starts the work.
    void OnNavigateToPage() override;

    LRESULT OnDownloadProgress(WPARAM wParam, LPARAM lParam);
    LRESULT OnDownloadLengthUnknown(WPARAM wParam, LPARAM lParam);

    // The folders among the run's files that programs this page started may still need.
    std::vector<std::wstring> FoldersInUse() const;

protected:
    static constexpr UINT_PTR kDownloadTimer = 0x1000;
    static constexpr UINT_PTR kInstallerTimer = 0x1002;
    static constexpr UINT kPollMs = 100;

    BOOL OnInitDialog() override;
    bool OnMessage(UINT message, WPARAM wParam, LPARAM lParam, LRESULT& result) override;
    // The page's picture, set once its controls exist.
    virtual void ShowImage() = 0;
    // The last download ended, whatever its outcome.
    virtual void OnDownloadsDone() = 0;
    virtual void RunNextInstaller() = 0;
    virtual void OnInstallerTimer() {}

    // Whether the task has its result, without waiting for it.
    template <class Value>
    static bool IsReady(const std::future<Value>& task) {
        return task.valid() && task.wait_for(std::chrono::seconds(0)) == std::future_status::ready;
    }

    void StartNextDownload();
    void OnDownloadTimer();
    void CompletePage();
    // Starts the front program of the run queue without waiting for it and reports the launch.
    void LaunchWithoutWaiting();

    DownloadPageLayout m_layout;
    HWND m_progress = nullptr;
    bool m_marqueeOn = false;
    std::future<DownloadManager::Result> m_downloadTask;
    std::optional<DownloadRun> m_run;
    CStaticFromImage m_image;
};

// The download flavour's page: the product goes to the download folder and is left for the
// finish page to start; the offers are started one after another without waiting.
class DownloadPageDlm final : public DownloadPage {
public:
    DownloadPageDlm(std::shared_ptr<LanguageManager> languageManager, HWND parent);

private:
    void ShowImage() override;
    void OnDownloadsDone() override;
    void RunNextInstaller() override;
};

// The installer flavour's page: the product's installer runs first and is waited for, then the
// offers are started. The host learns when an installer is running.
class DownloadPageIsv final : public DownloadPage {
public:
    DownloadPageIsv(std::shared_ptr<LanguageManager> languageManager, HWND parent);

    std::function<void()> m_onInstallerStarted;
    std::function<void()> m_onInstallerFinished;

private:
    void ShowImage() override;
    void OnDownloadsDone() override;
    void RunNextInstaller() override;
    void OnInstallerTimer() override;
    void InstallerFinished();

    std::future<LaunchResult> m_runTask;  // the product's installer, waited for on its own thread
};

}  // namespace tessary
