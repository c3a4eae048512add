// The download manager over the system's WinHTTP and WinINet, against the loopback download test
// server (service/download_cases). scripts/test starts it and names its ports in
// TESSARY_DOWNLOAD_PORT (HTTP) and TESSARY_DOWNLOAD_TLS_PORT (HTTPS, the service's certificate).
#include <windows.h>

#include <gtest/gtest.h>

#include <atomic>
#include <chrono>
#include <cstdlib>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <thread>

#include "configuration_guard.h"
#include "net/download_manager.h"
#include "platform/win32/handles.h"
#include "real_ports.h"

namespace tessary {
namespace {

using Clock = std::chrono::steady_clock;

std::wstring Port(const char* variable) {
    const char* value = std::getenv(variable);
    return value && *value ? std::wstring(value, value + std::strlen(value)) : std::wstring();
}

// What the server's bodies hold: byte i is (i * 7 + 3) % 251.
std::string Pattern(std::size_t size) {
    std::string bytes(size, '\0');
    for (std::size_t i = 0; i < size; ++i) bytes[i] = static_cast<char>((i * 7 + 3) % 251);
    return bytes;
}

std::string ReadFile(const std::wstring& path) {
    std::ifstream in(std::filesystem::path(path), std::ios::binary);
    return std::string(std::istreambuf_iterator<char>(in), {});
}

bool Exists(const std::wstring& path) { return ::GetFileAttributesW(path.c_str()) != INVALID_FILE_ATTRIBUTES; }

void WriteFile(const std::wstring& path, const std::string& content) {
    std::ofstream(std::filesystem::path(path), std::ios::binary) << content;
}

// A message-only window the transfers post their progress to; read once the transfer is over.
class ProgressWindow {
public:
    ProgressWindow()
        : m_window(::CreateWindowExW(0, L"STATIC", L"", 0, 0, 0, 0, 0, HWND_MESSAGE, nullptr, nullptr, nullptr)) {}
    ~ProgressWindow() { ::DestroyWindow(m_window); }
    platform::WindowHandle Handle() const { return reinterpret_cast<platform::WindowHandle>(m_window); }

    // The WPARAMs of the messages of one kind that arrived, in order.
    std::vector<WPARAM> Take(UINT message) {
        std::vector<WPARAM> values;
        MSG msg;
        while (::PeekMessageW(&msg, m_window, kDownloadProgressMessage, kDownloadUnknownSizeMessage, PM_REMOVE)) {
            m_seen.push_back(msg);
        }
        for (const MSG& seen : m_seen) {
            if (seen.message == message) values.push_back(seen.wParam);
        }
        return values;
    }

private:
    HWND m_window;
    std::vector<MSG> m_seen;
};

class DownloadStacks : public ::testing::Test {
protected:
    void SetUp() override {
        if (m_port.empty()) GTEST_SKIP() << "the download test server is not running (TESSARY_DOWNLOAD_PORT)";
        wchar_t temp[MAX_PATH] = {};
        ::GetTempPathW(MAX_PATH, temp);
        m_folder = std::wstring(temp) + L"tessary-downloads-" + std::to_wstring(::GetCurrentProcessId()) + L"-" +
                   std::to_wstring(++s_folders);
        ::CreateDirectoryW(m_folder.c_str(), nullptr);
        config->m_downloadFolder = m_folder;
        config->m_tempFolder = m_folder;
    }
    void TearDown() override {
        if (m_folder.empty()) return;
        // The folder and what the tests left in it, two levels deep at most.
        for (const auto& entry : List(m_folder)) {
            const std::wstring path = m_folder + L"\\" + entry;
            for (const auto& inner : List(path)) ::DeleteFileW((path + L"\\" + inner).c_str());
            ::RemoveDirectoryW(path.c_str());
            ::DeleteFileW(path.c_str());
        }
        ::RemoveDirectoryW(m_folder.c_str());
    }
    static std::vector<std::wstring> List(const std::wstring& folder) {
        std::vector<std::wstring> names;
        WIN32_FIND_DATAW data{};
        win32::FindHandle find(::FindFirstFileW((folder + L"\\*").c_str(), &data));
        if (!find) return names;
        do {
            if (std::wstring(data.cFileName) != L"." && std::wstring(data.cFileName) != L"..") {
                names.push_back(data.cFileName);
            }
        } while (::FindNextFileW(find.Get(), &data));
        return names;
    }

    std::wstring Url(const std::wstring& path) const { return L"http://127.0.0.1:" + m_port + path; }
    std::wstring TlsUrl(const std::wstring& path) const { return L"https://localhost:" + m_tlsPort + path; }
    std::wstring Target(const std::wstring& name) const { return m_folder + L"\\" + name; }

    DownloadManager::Result Attempt(bool winHttp, const std::wstring& url, const std::wstring& name = L"file.bin") {
        return winHttp ? manager->DownloadWithWinHttp(url, window.Handle(), Target(name))
                       : manager->DownloadWithWinInet(url, window.Handle(), Target(name));
    }
    bool NoPartFiles() const {
        for (const auto& name : List(m_folder)) {
            if (name.ends_with(L".part")) return false;
        }
        return true;
    }
    // An attempt the caller gave up on removes its .part file once its blocked call returns.
    bool PartFilesGoSoon() const {
        for (int i = 0; i < 200 && !NoPartFiles(); ++i) std::this_thread::sleep_for(std::chrono::milliseconds(100));
        return NoPartFiles();
    }
    // Sets the cancel flag after a while, from another thread, as the host does.
    std::jthread CancelAfter(std::chrono::milliseconds delay) {
        return std::jthread([this, delay] {
            std::this_thread::sleep_for(delay);
            m_cancelledAt = Clock::now();
            manager->m_cancelRequested = true;
        });
    }
    std::chrono::milliseconds SinceCancel() const {
        return std::chrono::duration_cast<std::chrono::milliseconds>(Clock::now() - m_cancelledAt.load());
    }

    testing::RealPorts ports;
    testing::ConfigurationGuard config;
    std::shared_ptr<DownloadManager> manager = std::make_shared<DownloadManager>();
    ProgressWindow window;
    std::wstring m_port = Port("TESSARY_DOWNLOAD_PORT");
    std::wstring m_tlsPort = Port("TESSARY_DOWNLOAD_TLS_PORT");
    std::wstring m_folder;
    std::atomic<Clock::time_point> m_cancelledAt{};
    static inline int s_folders = 0;
};

// Each case on both stacks, the WinHTTP path first.
class EachStack : public DownloadStacks, public ::testing::WithParamInterface<bool> {
protected:
    bool WinHttp() const { return GetParam(); }
    std::wstring Prefix() const { return WinHttp() ? L"[WINHTTP] " : L"[WININET] "; }
};
INSTANTIATE_TEST_SUITE_P(Stacks, EachStack, ::testing::Values(true, false),
                         [](const auto& info) { return info.param ? "WinHttp" : "WinInet"; });

// --- bodies ------------------------------------------------------------------------------

TEST_P(EachStack, KnownLengthArrivesWholeWithProgressEndingAt100) {
    ASSERT_EQ(Attempt(WinHttp(), Url(L"/len/300000")), DownloadManager::Result(true, L""));
    EXPECT_EQ(ReadFile(Target(L"file.bin")), Pattern(300000));
    EXPECT_EQ(manager->m_lastDownloadedPath, Target(L"file.bin"));
    EXPECT_TRUE(NoPartFiles());
    EXPECT_TRUE(window.Take(kDownloadUnknownSizeMessage).empty());
    const auto progress = window.Take(kDownloadProgressMessage);
    ASSERT_GE(progress.size(), 2u);
    EXPECT_EQ(progress.back(), 100u);
    for (std::size_t i = 1; i + 1 < progress.size(); ++i) EXPECT_GT(progress[i], progress[i - 1]) << i;
}

TEST_P(EachStack, ChunkedBodyHasUnknownSize) {
    ASSERT_EQ(Attempt(WinHttp(), Url(L"/chunked/50000")), DownloadManager::Result(true, L""));
    EXPECT_EQ(ReadFile(Target(L"file.bin")), Pattern(50000));
    EXPECT_EQ(window.Take(kDownloadUnknownSizeMessage), std::vector<WPARAM>{0});
    EXPECT_TRUE(window.Take(kDownloadProgressMessage).empty());
}

TEST_P(EachStack, CloseDelimitedBodyHasUnknownSize) {
    ASSERT_EQ(Attempt(WinHttp(), Url(L"/close/50000")), DownloadManager::Result(true, L""));
    EXPECT_EQ(ReadFile(Target(L"file.bin")), Pattern(50000));
    EXPECT_EQ(window.Take(kDownloadUnknownSizeMessage), std::vector<WPARAM>{0});
    EXPECT_TRUE(window.Take(kDownloadProgressMessage).empty());
}

TEST_P(EachStack, ShortBodyIsNoSuccess) {
    WriteFile(Target(L"file.bin"), "kept");
    const auto result = Attempt(WinHttp(), Url(L"/short"));
    EXPECT_EQ(result.second, Prefix() + L"Download was incomplete: content length: 1000, downloaded: 600");
    EXPECT_EQ(ReadFile(Target(L"file.bin")), "kept");
    EXPECT_TRUE(NoPartFiles());
}

TEST_P(EachStack, ResetMidBodyIsNoSuccess) {
    const auto result = Attempt(WinHttp(), Url(L"/reset/200000"));
    EXPECT_FALSE(result.first);
    EXPECT_TRUE(result.second.starts_with(Prefix())) << std::string(result.second.begin(), result.second.end());
    EXPECT_FALSE(Exists(Target(L"file.bin")));
    EXPECT_TRUE(NoPartFiles());
}

// --- statuses ----------------------------------------------------------------------------

TEST_P(EachStack, MissingAndBrokenFilesFail) {
    for (const std::wstring code : {L"404", L"500"}) {
        const auto result = Attempt(WinHttp(), Url(L"/status/" + code));
        if (WinHttp()) {
            EXPECT_EQ(result.second, L"[WINHTTP] Download failed: Server returned status code: " + code);
        } else {
            EXPECT_TRUE(result.second.starts_with(L"[WININET] Server returned status code: HTTP " + code + L" - "));
        }
    }
    EXPECT_FALSE(Exists(Target(L"file.bin")));
}

TEST_P(EachStack, PartialContentOnlyForWinHttp) {
    const auto result = Attempt(WinHttp(), Url(L"/status/206"));
    if (WinHttp()) {
        EXPECT_EQ(result, DownloadManager::Result(true, L""));
        EXPECT_EQ(ReadFile(Target(L"file.bin")), "abc");
    } else {
        EXPECT_TRUE(result.second.starts_with(L"[WININET] Server returned status code: HTTP 206 - "));
    }
}

// --- redirects ---------------------------------------------------------------------------

TEST_P(EachStack, RelativeAbsoluteAndRootLocationsAreFollowed) {
    for (const std::wstring path : {L"/redirect/3", L"/redirect-abs/3", L"/redirect-root/5"}) {
        EXPECT_EQ(Attempt(WinHttp(), Url(path)), DownloadManager::Result(true, L""));
        EXPECT_EQ(ReadFile(Target(L"file.bin")), Pattern(100));
    }
}

TEST_F(DownloadStacks, WinHttpFollowsFiveRedirectsItselfAndNoMore) {
    EXPECT_TRUE(Attempt(true, Url(L"/redirect/5")).first);
    EXPECT_EQ(Attempt(true, Url(L"/redirect/6")).second, L"[WINHTTP] Too many redirects.");
    EXPECT_EQ(Attempt(true, Url(L"/redirect-abs/11")).second, L"[WINHTTP] Too many redirects.");
}

TEST_F(DownloadStacks, WinInetFollowsRedirectsByItself) {
    EXPECT_TRUE(Attempt(false, Url(L"/redirect/6")).first);
    EXPECT_EQ(ReadFile(Target(L"file.bin")), Pattern(100));
    // How far is the platform's business: Wine's follows all eleven.
    EXPECT_EQ(Attempt(false, Url(L"/redirect-abs/11"), L"other.bin"), DownloadManager::Result(true, L""));
    EXPECT_EQ(ReadFile(Target(L"other.bin")), Pattern(100));
}

TEST_F(DownloadStacks, WinHttpRefusesRedirectsItCannotFollow) {
    EXPECT_EQ(Attempt(true, Url(L"/no-location")).second, L"[WINHTTP] Redirect without a location: HTTP 302");
    EXPECT_EQ(Attempt(true, Url(L"/long-location")).second, L"[WINHTTP] Redirect location too long.");
    EXPECT_FALSE(Exists(Target(L"file.bin")));
    EXPECT_TRUE(NoPartFiles());
}

// WinINet follows what the platform follows; a redirect without a place to go is a status like
// any other but 200.
TEST_F(DownloadStacks, WinInetTakesRedirectsAsThePlatformDoes) {
    EXPECT_EQ(Attempt(false, Url(L"/no-location")).second,
              L"[WININET] Server returned status code: HTTP 302 - " + manager->SystemErrorText(0));
    EXPECT_FALSE(Exists(Target(L"file.bin")));
    EXPECT_TRUE(Attempt(false, Url(L"/long-location")).first);
    EXPECT_TRUE(NoPartFiles());
}

// A large file arrives byte for byte on both stacks.
TEST_P(EachStack, ALargeFileArrivesWhole) {
    constexpr std::size_t kSize = 16u << 20;
    ASSERT_EQ(Attempt(WinHttp(), Url(L"/len/" + std::to_wstring(kSize))), DownloadManager::Result(true, L""));
    EXPECT_TRUE(ReadFile(Target(L"file.bin")) == Pattern(kSize));
}

TEST_P(EachStack, HttpsWorksAndNeverFallsBackToHttp) {
    if (m_tlsPort.empty()) GTEST_SKIP() << "no HTTPS port (TESSARY_DOWNLOAD_TLS_PORT)";
    ASSERT_EQ(Attempt(WinHttp(), TlsUrl(L"/len/5000")), DownloadManager::Result(true, L""));
    EXPECT_EQ(ReadFile(Target(L"file.bin")), Pattern(5000));
    const auto result = Attempt(WinHttp(), TlsUrl(L"/to-http"), L"other.bin");
    EXPECT_FALSE(result.first);
    EXPECT_EQ(result.second, Prefix() + L"Redirect from HTTPS to HTTP refused.");
    EXPECT_FALSE(Exists(Target(L"other.bin")));
}

// --- slow servers and cancel --------------------------------------------------------------

TEST_P(EachStack, TrickleWithinTheLimitArrives) {
    manager->m_noProgressLimitMs = 2000;
    ASSERT_EQ(Attempt(WinHttp(), Url(L"/trickle/20/100")), DownloadManager::Result(true, L""));
    EXPECT_EQ(ReadFile(Target(L"file.bin")), Pattern(20));
}

TEST_P(EachStack, StalledBodyEndsAtTheNoProgressLimit) {
    manager->m_noProgressLimitMs = 2000;
    const auto start = Clock::now();
    EXPECT_EQ(Attempt(WinHttp(), Url(L"/stall/100000/15")).second, Prefix() + L"No data arrived for 2 seconds.");
    EXPECT_LT(Clock::now() - start, std::chrono::seconds(10));
    EXPECT_TRUE(PartFilesGoSoon());
}

TEST_P(EachStack, ServerThatNeverAnswersEndsAtTheNoProgressLimit) {
    manager->m_noProgressLimitMs = 2000;
    const auto start = Clock::now();
    EXPECT_EQ(Attempt(WinHttp(), Url(L"/stall-headers/15")).second, Prefix() + L"No data arrived for 2 seconds.");
    EXPECT_LT(Clock::now() - start, std::chrono::seconds(10));
}

TEST_P(EachStack, CancelDuringABodyEndsItWithinASecond) {
    const auto cancel = CancelAfter(std::chrono::milliseconds(700));
    EXPECT_EQ(Attempt(WinHttp(), Url(L"/trickle/200/50")).second, Prefix() + L"Download cancelled.");
    EXPECT_LT(SinceCancel(), std::chrono::seconds(1));
    EXPECT_TRUE(PartFilesGoSoon());
}

TEST_P(EachStack, CancelWhileTheServerKeepsStillEndsWithinASecond) {
    const auto cancel = CancelAfter(std::chrono::milliseconds(700));
    EXPECT_EQ(Attempt(WinHttp(), Url(L"/stall/100000/15")).second, Prefix() + L"Download cancelled.");
    EXPECT_LT(SinceCancel(), std::chrono::seconds(1));
}

TEST_F(DownloadStacks, CancelDuringAPauseEndsTheDownloadWithinASecond) {
    // The WinHTTP attempt fails at once; the cancel comes during the 1500 ms pause after it.
    const auto cancel = CancelAfter(std::chrono::milliseconds(400));
    const auto result = manager->DownloadFile({Url(L"/status/404"), Url(L"/len/10")}, window.Handle(), L"", false);
    EXPECT_LT(SinceCancel(), std::chrono::seconds(1));
    EXPECT_TRUE(result.second.ends_with(L"[WININET] Download cancelled. [FALLBACK] [WINHTTP] Download cancelled. "
                                        L"[FALLBACK] [WININET] Download cancelled."));
}

TEST_F(DownloadStacks, CancelBeforeAnAttemptSendsNothing) {
    manager->m_cancelRequested = true;
    EXPECT_EQ(manager->DownloadFile({Url(L"/len/10"), L""}, window.Handle(), L"", false).second,
              L"[WINHTTP] Download cancelled. [WININET] Download cancelled. ");
    EXPECT_FALSE(Exists(Target(L"10")));
}

// --- whole downloads ----------------------------------------------------------------------

TEST_F(DownloadStacks, FailedPrimaryWithoutFallbackLeavesTheUsersFileAlone) {
    WriteFile(Target(L"setup.exe"), "the user's own");
    const auto result = manager->DownloadFile({Url(L"/status/404/setup.exe"), L""}, window.Handle(), L"", false);
    EXPECT_FALSE(result.first);
    EXPECT_TRUE(result.second.starts_with(L"[WINHTTP] Download failed: Server returned status code: 404 [WININET] "));
    EXPECT_TRUE(result.second.ends_with(L" "));
    EXPECT_EQ(result.second.find(L"[FALLBACK]"), std::wstring::npos);
    EXPECT_EQ(ReadFile(Target(L"setup.exe")), "the user's own");
    EXPECT_TRUE(NoPartFiles());
}

TEST_F(DownloadStacks, FallbackThatSucceeds) {
    const auto result = manager->DownloadFile({Url(L"/status/500"), Url(L"/len/4096")}, window.Handle(), L"", false);
    EXPECT_EQ(result, DownloadManager::Result(true, L""));
    EXPECT_EQ(manager->m_lastDownloadedPath, Target(L"4096"));
    EXPECT_EQ(ReadFile(Target(L"4096")), Pattern(4096));
}

TEST_F(DownloadStacks, QueryStringIsNotPartOfTheName) {
    EXPECT_TRUE(manager->DownloadFile({Url(L"/len/64?name=x"), L""}, window.Handle(), L"", false).first);
    EXPECT_EQ(manager->m_lastDownloadedPath, Target(L"64"));
    EXPECT_EQ(ReadFile(Target(L"64")), Pattern(64));
}

TEST_F(DownloadStacks, NamesThatLeaveTheFolderAreRefused) {
    for (const std::wstring name : {L"..\\x.exe", L"C:\\x.exe", L"a:b", L"con"}) {
        const auto result = manager->DownloadFile({Url(L"/len/10"), L""}, window.Handle(), name, false);
        EXPECT_FALSE(result.first);
        EXPECT_TRUE(result.second.starts_with(L"[WINHTTP] Failed to open file for writing: 3 - "));
    }
    EXPECT_FALSE(Exists(m_folder + L"\\..\\x.exe"));
    EXPECT_FALSE(Exists(Target(L"a")));
    EXPECT_TRUE(List(m_folder).empty());
}

TEST_F(DownloadStacks, TwoOffersNamedSetupStayApart) {
    EXPECT_TRUE(manager->DownloadFile({Url(L"/len/111"), L""}, window.Handle(), L"setup.exe", true, L"1").first);
    EXPECT_TRUE(manager->DownloadFile({Url(L"/len/222"), L""}, window.Handle(), L"setup.exe", true, L"2").first);
    EXPECT_EQ(ReadFile(m_folder + L"\\1\\setup.exe"), Pattern(111));
    EXPECT_EQ(ReadFile(m_folder + L"\\2\\setup.exe"), Pattern(222));
}

// --- in memory ----------------------------------------------------------------------------

TEST_F(DownloadStacks, InMemory) {
    const std::string expected = Pattern(3000);
    EXPECT_EQ(*manager->DownloadToMemory(Url(L"/len/3000")), std::vector<char>(expected.begin(), expected.end()));
    EXPECT_TRUE(manager->DownloadToMemory(Url(L"/status/404"))->empty());
    EXPECT_TRUE(manager->DownloadToMemory(Url(L"/len/200000"), 100000)->empty());

    manager->m_cancelRequested = true;
    std::atomic<int> calls = 0;
    std::atomic<bool> gotNull = false;
    manager->DownloadToMemoryAsync(Url(L"/len/10"), [&](DownloadManager::Bytes bytes) {
        gotNull = !bytes;
        ++calls;
    });
    for (int i = 0; i < 100 && calls == 0; ++i) std::this_thread::sleep_for(std::chrono::milliseconds(50));
    EXPECT_EQ(calls, 1);
    EXPECT_TRUE(gotNull);
}

}  // namespace
}  // namespace tessary
