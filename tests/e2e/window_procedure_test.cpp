// A handler that throws inside a window procedure: the exception must not unwind through the
// system's code. It is reported to the diagnostics sink and the modal loop goes on, for a dialog
// of the framework and for the wizard itself.
#include <gtest/gtest.h>
#include <windows.h>

#include <algorithm>
#include <atomic>
#include <chrono>
#include <future>
#include <optional>
#include <stdexcept>
#include <thread>

#include "app/tessary_app.h"
#include "config/configuration_manager.h"
#include "config/package.h"
#include "configuration_guard.h"
#include "fake_http.h"
#include "net/api_manager.h"
#include "net/download_manager.h"
#include "platform/ports.h"
#include "platform/win32/win32_ports.h"
#include "recording_diagnostics.h"
#include "resource.h"
#include "ui/dialog.h"
#include "wizard_steps.h"

namespace tessary::e2e {
namespace {

constexpr WORD kThrowingCommand = 0x7001;
constexpr WORD kEndingCommand = 0x7002;
constexpr INT_PTR kEndedByCommand = 42;

class ThrowingDialog : public ui::Dialog {
public:
    ThrowingDialog() : Dialog(IDD_ABOUTBOX, nullptr) {}

protected:
    BOOL OnInitDialog() override {
        // Queued behind each other: the second only arrives if the loop survived the first.
        ::PostMessageW(GetSafeHwnd(), WM_COMMAND, MAKEWPARAM(kThrowingCommand, BN_CLICKED), 0);
        ::PostMessageW(GetSafeHwnd(), WM_COMMAND, MAKEWPARAM(kEndingCommand, BN_CLICKED), 0);
        return TRUE;
    }
    bool OnCommand(WORD id, WORD code, HWND control) override {
        if (id == kThrowingCommand) throw std::runtime_error("the handler failed");
        if (id == kEndingCommand) {
            EndDialog(kEndedByCommand);
            return true;
        }
        return Dialog::OnCommand(id, code, control);
    }
};

TEST(WindowProcedures, AnExceptionInAHandlerIsReportedAndTheDialogGoesOn) {
    const auto recorder = std::make_shared<testing::RecordingDiagnostics>();
    auto ports = platform::CurrentPorts();
    ports.diagnostics = recorder;
    const auto previous = platform::InstallPorts(ports);

    ThrowingDialog dialog;
    EXPECT_EQ(dialog.DoModal(), kEndedByCommand);
    EXPECT_EQ(recorder->Texts(platform::DiagnosticTarget::Debugger),
              std::vector<std::string>{"Exception in dialog procedure: the handler failed"});

    platform::InstallPorts(previous);
}

// The program's own module, except that the next locale asked for fails by throwing, as reading a
// damaged resource could.
class LocaleFailingOnce : public platform::ModulePort {
public:
    explicit LocaleFailingOnce(std::shared_ptr<platform::ModulePort> module) : m_module(std::move(module)) {}

    platform::Result<std::wstring> GetModuleFileName() const override { return m_module->GetModuleFileName(); }
    platform::Result<platform::FileVersion> GetFixedFileVersion() const override {
        return m_module->GetFixedFileVersion();
    }
    platform::Result<std::vector<std::uint8_t>> LoadResource(int id, const std::wstring& type) const override {
        if (type == L"LOCALE" && m_failNext.exchange(false)) throw std::runtime_error("the locale cannot be read");
        return m_module->LoadResource(id, type);
    }

    void FailNextLocale() { m_failNext = true; }

private:
    std::shared_ptr<platform::ModulePort> m_module;
    mutable std::atomic<bool> m_failNext = false;
};

BOOL CALLBACK CollectWindow(HWND window, LPARAM windows) {
    reinterpret_cast<std::vector<HWND>*>(windows)->push_back(window);
    return TRUE;
}

// The wizard as the program runs it, on a thread of its own so that the test can drive it like a
// user from this one.
class WizardThread {
public:
    WizardThread()
        : m_thread([this] {
              m_threadId = ::GetCurrentThreadId();
              CTessaryApp app;
              app.InitInstance();
              m_result.set_value(app.DialogResult());
          }) {}
    ~WizardThread() {
        EndAnyway();
        m_thread.join();
    }
    WizardThread(const WizardThread&) = delete;
    WizardThread& operator=(const WizardThread&) = delete;

    HWND WaitForHost() const {
        HWND host = nullptr;
        WaitUntil([&] { return (host = FindHost(::GetCurrentProcessId())) != nullptr; }, 30s);
        return host;
    }
    // The host's result, once the wizard has ended by itself.
    std::optional<INT_PTR> WaitForEnd(std::chrono::milliseconds timeout) {
        if (m_ending.wait_for(timeout) != std::future_status::ready) return std::nullopt;
        return m_ending.get();
    }

private:
    // A test that stopped half-way leaves the wizard somewhere: the error page lets it close
    // without asking, and a message box it shows closes like any window.
    void EndAnyway() {
        for (int attempt = 0; attempt < 100 && m_ending.valid(); ++attempt) {
            if (m_ending.wait_for(100ms) == std::future_status::ready) return;
            std::vector<HWND> windows;
            ::EnumThreadWindows(m_threadId, CollectWindow, reinterpret_cast<LPARAM>(&windows));
            for (const HWND window : windows) {
                if (window == FindHost(::GetCurrentProcessId())) {
                    ::PostMessageW(window, WM_COMMAND, MAKEWPARAM(kShowTestError, BN_CLICKED), 0);
                }
                ::PostMessageW(window, WM_CLOSE, 0, 0);
            }
        }
    }

    std::promise<INT_PTR> m_result;
    std::future<INT_PTR> m_ending = m_result.get_future();
    std::atomic<DWORD> m_threadId = 0;
    std::thread m_thread;  // last: it starts at once and uses everything above
};

class WizardHandlers : public ::testing::Test {
protected:
    void SetUp() override {
        m_previous = platform::CurrentPorts();
        win32::InstallWin32Ports();
        m_configuration.emplace();
        auto ports = platform::CurrentPorts();
        m_module = std::make_shared<LocaleFailingOnce>(ports.module);
        ports.module = m_module;
        // The service answers the configuration with a product and no offers, and every event. Nothing
        // listens where the product would come from, so its download fails at once.
        auto http = std::make_shared<tessary::testing::FakeHttp>();
        http->handler = [](const tessary::testing::FakeHttp::Call& call) {
            if (call.path != L"/o") return tessary::testing::FakeHttp::Answer{true, 200, "{}"};
            return tessary::testing::FakeHttp::Answer{
                true, 200, R"({"i":{"ct":"Veloran","cu":"https://127.0.0.2/f/veloran.exe"}})"};
        };
        ports.http = http;
        ports.diagnostics = m_diagnostics;
        platform::InstallPorts(ports);
    }
    void TearDown() override {
        // The wizard's events are sent by threads of their own, which must be done with the ports.
        if (const auto package = ConfigurationManager::GetInstance()->m_mainPackage) package->WaitForPendingEvents();
        // A wizard that was closed told the process-wide service client and downloads to stop.
        ApiManager::GetInstance()->m_cancelRequested = false;
        DownloadManager::GetInstance()->m_cancelRequested = false;
        m_configuration.reset();
        platform::InstallPorts(m_previous);
    }

    bool Reported(const std::string& line) const {
        const auto lines = m_diagnostics->Texts(platform::DiagnosticTarget::Debugger);
        return std::find(lines.begin(), lines.end(), line) != lines.end();
    }

    platform::Ports m_previous;
    std::optional<tessary::testing::ConfigurationGuard> m_configuration;  // the wizard stores what the user chose
    std::shared_ptr<LocaleFailingOnce> m_module;
    std::shared_ptr<tessary::testing::RecordingDiagnostics> m_diagnostics =
        std::make_shared<tessary::testing::RecordingDiagnostics>();
};

int PageCount(HWND host) {
    int count = 0;
    for (HWND child = ::GetWindow(host, GW_CHILD); child; child = ::GetWindow(child, GW_HWNDNEXT)) {
        if (WindowClass(child) == L"#32770") ++count;
    }
    return count;
}

TEST_F(WizardHandlers, AnExceptionInTheHostsHandlerIsReportedAndTheWizardGoesOn) {
    WizardThread run;
    const WizardWindows wizard(run.WaitForHost());
    ASSERT_TRUE(wizard.HasHost());
    ASSERT_TRUE(wizard.WaitForPage(L"LanguagePage"));

    // The configuration comes in, but the chosen language cannot be read again: the host's
    // handler throws before it has built any page, and the loading page stays.
    const std::string failure = "Exception in dialog procedure: the locale cannot be read";
    m_module->FailNextLocale();
    wizard.Click(kNext);
    ASSERT_TRUE(WaitUntil([&] { return Reported(failure); }, 20s));
    EXPECT_EQ(wizard.VisiblePage(), L"LoadingPage");

    // The same message again finds a host that answers as if nothing had happened; once more,
    // and it builds no page twice.
    const int initialPages = PageCount(wizard.Host());
    ::PostMessageW(wizard.Host(), WM_TESSARY_LOAD_COMPLETE, 0, 0);
    ASSERT_TRUE(wizard.WaitForPage(L"WelcomePage"));
    const int pages = PageCount(wizard.Host());
    EXPECT_EQ(pages, initialPages + 3) << "the welcome, download and finish pages";
    ::PostMessageW(wizard.Host(), WM_TESSARY_LOAD_COMPLETE, 0, 0);
    // A second answer of the configuration request is no answer either.
    ::PostMessageW(wizard.PageWindow(L"LoadingPage"), WM_TESSARY_REQUEST_COMPLETE, 0, 0);
    ASSERT_TRUE(WaitUntil([&] { return Reported("LoadingPage: no configuration awaited"); }, 10s));
    EXPECT_EQ(PageCount(wizard.Host()), pages);
    EXPECT_EQ(wizard.VisiblePage(), L"WelcomePage");

    wizard.Click(kNext);
    ASSERT_TRUE(wizard.WaitForPage(L"ErrorPage"));
    wizard.Click(kClose);
    EXPECT_EQ(run.WaitForEnd(20s), std::optional<INT_PTR>(1));
    EXPECT_EQ(m_diagnostics->Texts(platform::DiagnosticTarget::Debugger),
              (std::vector<std::string>{"LoadingPage", failure, "WelcomePage", "Configuration loaded again; ignored",
                                        "LoadingPage: no configuration awaited", "DownloadPageDLM"}));
}

}  // namespace
}  // namespace tessary::e2e
