#include <gtest/gtest.h>

#include <condition_variable>
#include <mutex>
#include <numeric>
#include <thread>

#include "configuration_guard.h"
#include "fake_ports.h"
#include "net/download_manager.h"

namespace tessary {
namespace {

using platform::HttpStack;
using platform::TransferStep;
using testing::FakeTransfer;

constexpr platform::WindowHandle kPage = 0x1234;
constexpr wchar_t kUrl[] = L"https://files.test/f/setup.exe";
constexpr wchar_t kFallback[] = L"https://mirror.test/f/setup.exe";
constexpr wchar_t kDownloads[] = L"C:\\Users\\u\\Downloads";
constexpr wchar_t kTemp[] = L"C:\\Temp\\run";

// A manager of its own, the download and temporary folders there, and the fake stacks.
class Downloads : public ::testing::Test {
protected:
    Downloads() {
        config->m_downloadFolder = kDownloads;
        config->m_tempFolder = kTemp;
        ports.fileSystem->AddDirectory(kDownloads);
        ports.fileSystem->AddDirectory(kTemp);
    }

    DownloadManager::Result Download(const std::wstring& url, const std::wstring& fallback = {},
                                     const std::wstring& name = {}) {
        return manager->DownloadFile({url, fallback}, kPage, name, false);
    }
    std::wstring InDownloads(const std::wstring& name) const { return std::wstring(kDownloads) + L"\\" + name; }

    std::vector<std::uintptr_t> Posted(unsigned message) const {
        std::vector<std::uintptr_t> values;
        for (const auto& posted : ports.ui->PostedMessages()) {
            EXPECT_EQ(posted.window, kPage);
            EXPECT_EQ(posted.lParam, 0);
            if (posted.message == message) values.push_back(posted.wParam);
        }
        return values;
    }
    unsigned SleptMs() const {
        const auto sleeps = ports.clock->Sleeps();
        return std::accumulate(sleeps.begin(), sleeps.end(), 0u);
    }
    std::size_t RequestsTo(HttpStack stack) const {
        std::size_t count = 0;
        for (const auto& request : ports.transfer->Requests()) count += request.stack == stack;
        return count;
    }
    bool AnyPartFileLeft() const {
        for (const auto& file : ports.fileSystem->files) {
            if (file.ends_with(L".part")) return true;
        }
        return false;
    }

    testing::FakePorts ports;
    testing::ConfigurationGuard config;
    std::shared_ptr<DownloadManager> manager = std::make_shared<DownloadManager>();
};

// --- success and progress ----------------------------------------------------------------

TEST_F(Downloads, KnownLengthIsSavedWithProgressThatEndsAt100) {
    const std::string body(10'000, 'x');
    ports.transfer->ServeBoth(kUrl, FakeTransfer::Body(body, body.size(), 700));

    EXPECT_EQ(Download(kUrl), DownloadManager::Result(true, L""));
    EXPECT_EQ(ports.fileSystem->Content(InDownloads(L"setup.exe")), body);
    EXPECT_EQ(manager->m_lastDownloadedPath, InDownloads(L"setup.exe"));
    EXPECT_FALSE(AnyPartFileLeft());
    EXPECT_EQ(RequestsTo(HttpStack::WinInet), 0u);
    EXPECT_TRUE(Posted(kDownloadUnknownSizeMessage).empty());

    const auto progress = Posted(kDownloadProgressMessage);
    ASSERT_GE(progress.size(), 2u);
    EXPECT_EQ(progress.back(), 100u);
    // Each message further on than the one before, until the final 100.
    for (std::size_t i = 1; i + 1 < progress.size(); ++i) EXPECT_GT(progress[i], progress[i - 1]) << i;

    const auto request = ports.transfer->Requests().front();
    EXPECT_EQ(request.parts.host, L"files.test");
    EXPECT_EQ(request.parts.path, L"/f/setup.exe");
    EXPECT_FALSE(request.toMemory);
    EXPECT_EQ(request.noProgressLimitMs, 60'000u);
}

TEST_F(Downloads, ProgressIsCountedInWholeNumbers) {
    // 29 of 100 bytes is 29 %, not the 28 that 0.29 * 100 truncates to.
    FakeTransfer::Script script = FakeTransfer::Body(std::string(100, 'x'), 100);
    script.chunks = {std::string(29, 'x'), std::string(71, 'x')};
    ports.transfer->ServeBoth(kUrl, script);
    ASSERT_TRUE(Download(kUrl).first);
    EXPECT_EQ(Posted(kDownloadProgressMessage), (std::vector<std::uintptr_t>{29, 100, 100}));
}

TEST_F(Downloads, ChunksOfExactlyOnePointDoNotEachPostAMessage) {
    ports.transfer->ServeBoth(kUrl, FakeTransfer::Body(std::string(100, 'x'), 100, 1));
    ASSERT_TRUE(Download(kUrl).first);
    std::vector<std::uintptr_t> expected;
    for (std::uintptr_t value = 2; value <= 100; value += 2) expected.push_back(value);
    expected.push_back(100);
    EXPECT_EQ(Posted(kDownloadProgressMessage), expected);
}

TEST_F(Downloads, AMessageGoesOutOnceMoreThanAHundredthArrived) {
    // Every 101 bytes of 10,000 are more than a hundredth: one message per point, none skipped.
    ports.transfer->ServeBoth(kUrl, FakeTransfer::Body(std::string(10'000, 'x'), 10'000, 1));
    ASSERT_TRUE(Download(kUrl).first);
    std::vector<std::uintptr_t> expected;
    for (std::uintptr_t value = 1; value <= 99; ++value) expected.push_back(value);
    expected.push_back(100);
    EXPECT_EQ(Posted(kDownloadProgressMessage), expected);
}

TEST_F(Downloads, UnknownLengthPostsOneUnknownSizeMessageAndNoProgress) {
    ports.transfer->ServeBoth(kUrl, FakeTransfer::Body(std::string(5000, 'y'), std::nullopt, 300));
    EXPECT_TRUE(Download(kUrl).first);
    EXPECT_EQ(Posted(kDownloadUnknownSizeMessage), (std::vector<std::uintptr_t>{0}));
    EXPECT_TRUE(Posted(kDownloadProgressMessage).empty());
    EXPECT_EQ(ports.fileSystem->Content(InDownloads(L"setup.exe"))->size(), 5000u);
}

TEST_F(Downloads, ZeroLengthSucceedsWithoutAFinalMessage) {
    ports.transfer->ServeBoth(kUrl, FakeTransfer::Body("", 0));
    EXPECT_TRUE(Download(kUrl).first);
    EXPECT_EQ(ports.fileSystem->Content(InDownloads(L"setup.exe")), "");
    EXPECT_TRUE(ports.ui->PostedMessages().empty());
}

// --- the attempts and their texts --------------------------------------------------------

TEST_F(Downloads, IncompleteBodyFailsBothStacksAndKeepsTheExistingFile) {
    ports.fileSystem->AddFile(InDownloads(L"setup.exe"), "the user's own file");
    ports.transfer->ServeBoth(kUrl, FakeTransfer::Body(std::string(600, 'x'), 1000));

    const auto result = Download(kUrl);
    EXPECT_FALSE(result.first);
    EXPECT_EQ(result.second,
              L"[WINHTTP] Download was incomplete: content length: 1000, downloaded: 600 "
              L"[WININET] Download was incomplete: content length: 1000, downloaded: 600 ");
    EXPECT_EQ(ports.fileSystem->Content(InDownloads(L"setup.exe")), "the user's own file");
    EXPECT_FALSE(AnyPartFileLeft());
    EXPECT_EQ(SleptMs(), 1500u);
    EXPECT_TRUE(manager->m_lastDownloadedPath.empty());
}

TEST_F(Downloads, FailureEverywhereStringsFourPartsTogether) {
    const auto result = Download(kUrl, kFallback);
    EXPECT_EQ(result.second,
              L"[WINHTTP] Failed to connect: 12029 - Cannot connect.\r\n "
              L"[WININET] Failed to open URL:: 12029 - Cannot connect.\r\n "
              L"[FALLBACK] [WINHTTP] Failed to connect: 12029 - Cannot connect.\r\n "
              L"[FALLBACK] [WININET] Failed to open URL:: 12029 - Cannot connect.\r\n");
    EXPECT_EQ(SleptMs(), 1500u + 500u + 1500u);
    EXPECT_EQ(ports.transfer->Requests().size(), 4u);
    EXPECT_EQ(ports.transfer->Requests()[2].url, kFallback);
}

TEST_F(Downloads, FallbackThatSucceedsSavesUnderItsOwnName) {
    const std::wstring fallback = L"https://mirror.test/f/other.exe";
    ports.transfer->Serve(HttpStack::WinInet, fallback, FakeTransfer::Body("ok", 2));
    EXPECT_EQ(Download(kUrl, fallback), DownloadManager::Result(true, L""));
    EXPECT_EQ(ports.fileSystem->Content(InDownloads(L"other.exe")), "ok");
    EXPECT_EQ(manager->m_lastDownloadedPath, InDownloads(L"other.exe"));

    // A configured name stays the name whichever URL delivered the file.
    EXPECT_TRUE(Download(kUrl, fallback, L"Product.exe").first);
    EXPECT_EQ(ports.fileSystem->Content(InDownloads(L"Product.exe")), "ok");
}

TEST_F(Downloads, EveryStepFailureHasItsTextWithCodeAndSystemText) {
    const std::pair<TransferStep, std::wstring> winHttp[] = {
        {TransferStep::Session, L"Failed to open HTTP session: "},
        {TransferStep::SecureProtocols, L"Failed to set secure protocols: "},
        {TransferStep::Connect, L"Failed to connect: "},
        {TransferStep::OpenRequest, L"Failed to open request: "},
        {TransferStep::SendRequest, L"Failed to send request: "},
        {TransferStep::ReceiveResponse, L"Failed to receive response: "}};
    for (const auto& [step, text] : winHttp) {
        FakeTransfer::Script script;
        script.failAt = step;
        script.failure = 12030;
        ports.transfer->Serve(HttpStack::WinHttp, kUrl, script);
        EXPECT_EQ(manager->DownloadWithWinHttp(kUrl, kPage, InDownloads(L"a.exe")).second,
                  L"[WINHTTP] " + text + L"12030 - Connection aborted.\r\n");
    }
    const std::pair<TransferStep, std::wstring> winInet[] = {
        {TransferStep::Session, L"Failed to initialize WinINet:: "},
        {TransferStep::OpenUrl, L"Failed to open URL:: "},
        {TransferStep::QueryStatus, L"Failed to query HTTP status code: "}};
    for (const auto& [step, text] : winInet) {
        FakeTransfer::Script script;
        script.failAt = step;
        // A code the system has no text for, and one that is negative as a signed number.
        script.failure = 0x80070005;
        ports.transfer->Serve(HttpStack::WinInet, kUrl, script);
        EXPECT_EQ(manager->DownloadWithWinInet(kUrl, kPage, InDownloads(L"a.exe")).second,
                  L"[WININET] " + text + L"-2147024891 - ");
    }
    EXPECT_FALSE(AnyPartFileLeft());
}

TEST_F(Downloads, StatusRulesDifferBetweenTheStacks) {
    FakeTransfer::Script partial = FakeTransfer::Body("abc", 3);
    partial.answer.status = 206;
    partial.answer.lastErrorAfterStatus = 2;
    ports.transfer->ServeBoth(kUrl, partial);
    EXPECT_TRUE(manager->DownloadWithWinHttp(kUrl, kPage, InDownloads(L"a.exe")).first);
    EXPECT_EQ(manager->DownloadWithWinInet(kUrl, kPage, InDownloads(L"b.exe")).second,
              L"[WININET] Server returned status code: HTTP 206 - File not found.\r\n");

    for (unsigned long status : {404ul, 500ul, 199ul}) {
        FakeTransfer::Script refused;
        refused.answer.status = status;
        ports.transfer->ServeBoth(kUrl, refused);
        EXPECT_EQ(manager->DownloadWithWinHttp(kUrl, kPage, InDownloads(L"c.exe")).second,
                  L"[WINHTTP] Download failed: Server returned status code: " + std::to_wstring(status));
    }
    EXPECT_FALSE(ports.fileSystem->PathExists(InDownloads(L"c.exe")));
    EXPECT_FALSE(AnyPartFileLeft());
}

// --- redirects on the WinHTTP path --------------------------------------------------------

FakeTransfer::Script Redirect(const std::wstring& location, unsigned long status = 302) {
    FakeTransfer::Script script;
    script.answer.status = status;
    script.answer.location = location;
    return script;
}

TEST_F(Downloads, FiveRedirectsAreFollowedAndTheSixthFails) {
    // r1 -> r2 -> ... -> rN -> the file, each Location relative to the one before.
    auto chain = [&](int hops) {
        const std::wstring base = L"https://files.test/chain" + std::to_wstring(hops) + L"/";
        for (int i = 0; i < hops; ++i) {
            ports.transfer->Serve(HttpStack::WinHttp, base + L"r" + std::to_wstring(i),
                                  Redirect(i + 1 < hops ? L"r" + std::to_wstring(i + 1) : L"/file.bin", 301 + i % 7));
        }
        return base + L"r0";
    };
    ports.transfer->Serve(HttpStack::WinHttp, L"https://files.test/file.bin", FakeTransfer::Body("data", 4));
    EXPECT_TRUE(manager->DownloadWithWinHttp(chain(5), kPage, InDownloads(L"a.bin")).first);
    EXPECT_EQ(ports.fileSystem->Content(InDownloads(L"a.bin")), "data");
    EXPECT_EQ(manager->DownloadWithWinHttp(chain(6), kPage, InDownloads(L"b.bin")).second,
              L"[WINHTTP] Too many redirects.");
    EXPECT_FALSE(ports.fileSystem->PathExists(InDownloads(L"b.bin")));
}

TEST_F(Downloads, RedirectsThatCannotBeFollowedFailTheAttempt) {
    const auto attempt = [&](FakeTransfer::Script script) {
        ports.transfer->Serve(HttpStack::WinHttp, kUrl, std::move(script));
        return manager->DownloadWithWinHttp(kUrl, kPage, InDownloads(L"a.exe")).second;
    };
    FakeTransfer::Script noLocation;
    noLocation.answer.status = 302;
    EXPECT_EQ(attempt(noLocation), L"[WINHTTP] Redirect without a location: HTTP 302");
    EXPECT_EQ(attempt(Redirect(L"")), L"[WINHTTP] Redirect without a location: HTTP 302");
    EXPECT_EQ(attempt(Redirect(L"https://files.test/" + std::wstring(241, L'a'))),
              L"[WINHTTP] Redirect location too long.");
    EXPECT_EQ(attempt(Redirect(L"http://files.test/f/setup.exe")), L"[WINHTTP] Redirect from HTTPS to HTTP refused.");
    EXPECT_EQ(attempt(Redirect(L"ftp://files.test/x")),
              L"[WINHTTP] Not a URL that can be downloaded from: ftp://files.test/x");
    EXPECT_EQ(manager->DownloadWithWinHttp(L"files.test/setup.exe", kPage, InDownloads(L"a.exe")).second,
              L"[WINHTTP] Not a URL that can be downloaded from: files.test/setup.exe");
    EXPECT_EQ(ports.transfer->Requests().size(), 5u);  // the last URL never went out
}

TEST_F(Downloads, WinInetRefusesARedirectToHttp) {
    FakeTransfer::Script followed = FakeTransfer::Body("x", 1);
    followed.answer.finalUrl = L"http://files.test/f/setup.exe";
    ports.transfer->Serve(HttpStack::WinInet, kUrl, followed);
    EXPECT_EQ(manager->DownloadWithWinInet(kUrl, kPage, InDownloads(L"a.exe")).second,
              L"[WININET] Redirect from HTTPS to HTTP refused.");
    EXPECT_FALSE(ports.fileSystem->PathExists(InDownloads(L"a.exe")));
}

// --- failures inside the body -------------------------------------------------------------

TEST_F(Downloads, ReadAndWriteErrorsDuringTheBodyFailOnBothStacks) {
    FakeTransfer::Script broken = FakeTransfer::Body(std::string(3000, 'x'), std::nullopt);
    broken.failChunk = 1;
    ports.transfer->ServeBoth(kUrl, broken);
    EXPECT_EQ(manager->DownloadWithWinInet(kUrl, kPage, InDownloads(L"a.exe")).second,
              L"[WININET] Failed to read data: 12030 - Connection aborted.\r\n");
    EXPECT_EQ(manager->DownloadWithWinHttp(kUrl, kPage, InDownloads(L"a.exe")).second,
              L"[WINHTTP] Failed to read data: 12030 - Connection aborted.\r\n");
    broken.failQuery = true;
    ports.transfer->ServeBoth(kUrl, broken);
    EXPECT_EQ(manager->DownloadWithWinHttp(kUrl, kPage, InDownloads(L"a.exe")).second,
              L"[WINHTTP] Failed to query data: 12030 - Connection aborted.\r\n");

    ports.transfer->ServeBoth(kUrl, FakeTransfer::Body(std::string(3000, 'x'), 3000));
    ports.fileSystem->diskSpace = 1500;
    EXPECT_EQ(manager->DownloadWithWinHttp(kUrl, kPage, InDownloads(L"a.exe")).second,
              L"[WINHTTP] Failed to write file: 112 - Disk full.\r\n");
    EXPECT_FALSE(ports.fileSystem->PathExists(InDownloads(L"a.exe")));
    EXPECT_FALSE(AnyPartFileLeft());
}

TEST_F(Downloads, AStalledServerEndsTheAttemptWithAClearText) {
    FakeTransfer::Script stalled = FakeTransfer::Body(std::string(3000, 'x'), 3000);
    stalled.failChunk = 2;
    stalled.readFailure = platform::kTransferStalled;
    ports.transfer->ServeBoth(kUrl, stalled);
    EXPECT_EQ(Download(kUrl).second,
              L"[WINHTTP] No data arrived for 60 seconds. [WININET] No data arrived for 60 seconds. ");
    manager->m_noProgressLimitMs = 5000;
    EXPECT_EQ(manager->DownloadWithWinHttp(kUrl, kPage, InDownloads(L"a.exe")).second,
              L"[WINHTTP] No data arrived for 5 seconds.");
    EXPECT_EQ(ports.transfer->Requests().back().noProgressLimitMs, 5000u);

    // The stack's own time-out while connecting is no silent server: the step says what failed.
    FakeTransfer::Script unreachable;
    unreachable.failAt = platform::TransferStep::SendRequest;
    unreachable.failure = platform::kTransferTimedOut;
    ports.transfer->Serve(HttpStack::WinHttp, kUrl, unreachable);
    EXPECT_EQ(manager->DownloadWithWinHttp(kUrl, kPage, InDownloads(L"a.exe")).second,
              L"[WINHTTP] Failed to send request: 12002 - Timed out.\r\n");
}

// A call that blocks past the limit, as one waiting on a silent server does: the manager stops
// waiting for it, and the attempt, told to stop, has removed its own file before the next begins.
TEST_F(Downloads, AnAttemptBlockedPastTheLimitIsGivenUpAndCleansUpAfterItself) {
    manager->m_noProgressLimitMs = 1000;
    FakeTransfer::Script blocked = FakeTransfer::Body(std::string(3000, 'x'), 3000, 1000);
    blocked.beforeChunk = [](std::size_t chunk) {
        if (chunk == 1) std::this_thread::sleep_for(std::chrono::milliseconds(1300));
    };
    ports.transfer->Serve(HttpStack::WinHttp, kUrl, blocked);
    EXPECT_EQ(manager->DownloadWithWinHttp(kUrl, kPage, InDownloads(L"a.exe")).second,
              L"[WINHTTP] No data arrived for 1 seconds.");
    EXPECT_FALSE(AnyPartFileLeft());
    EXPECT_FALSE(ports.fileSystem->PathExists(InDownloads(L"a.exe")));
}

// --- cancel -------------------------------------------------------------------------------

TEST_F(Downloads, CancelDuringABodyEndsEveryAttemptAndPause) {
    FakeTransfer::Script script = FakeTransfer::Body(std::string(5000, 'x'), 5000);
    script.beforeChunk = [&](std::size_t chunk) {
        if (chunk == 2) manager->m_cancelRequested = true;
    };
    ports.transfer->ServeBoth(kUrl, script);
    const auto result = Download(kUrl, kFallback);
    EXPECT_EQ(result.second,
              L"[WINHTTP] Download cancelled. [WININET] Download cancelled. "
              L"[FALLBACK] [WINHTTP] Download cancelled. [FALLBACK] [WININET] Download cancelled.");
    EXPECT_EQ(ports.transfer->Requests().size(), 1u);
    EXPECT_EQ(SleptMs(), 0u);
    EXPECT_FALSE(AnyPartFileLeft());
}

TEST_F(Downloads, CancelDuringAPauseEndsItWithinItsFirstStep) {
    ports.clock->onSleep = [&](unsigned) { manager->m_cancelRequested = true; };
    const auto result = Download(kUrl, kFallback);
    EXPECT_EQ(ports.clock->Sleeps(), (std::vector<unsigned>{100}));
    EXPECT_EQ(ports.transfer->Requests().size(), 1u);
    EXPECT_TRUE(result.second.starts_with(L"[WINHTTP] Failed to connect: "));
    EXPECT_TRUE(
        result.second.ends_with(L"[WININET] Download cancelled. [FALLBACK] [WINHTTP] Download cancelled. "
                                L"[FALLBACK] [WININET] Download cancelled."));
}

TEST_F(Downloads, CancelBeforeAnAttemptSendsNothing) {
    ports.transfer->ServeBoth(kUrl, FakeTransfer::Body("x", 1));
    manager->m_cancelRequested = true;
    EXPECT_EQ(Download(kUrl).second, L"[WINHTTP] Download cancelled. [WININET] Download cancelled. ");
    EXPECT_TRUE(ports.transfer->Requests().empty());
    EXPECT_FALSE(ports.fileSystem->PathExists(InDownloads(L"setup.exe")));
}

TEST_F(Downloads, ARequestSeesTheCancelFlag) {
    // The stack watches the flag while it waits, and a call it ends that way reads as cancelled.
    FakeTransfer::Script script;
    script.failAt = TransferStep::ReceiveResponse;
    script.failure = platform::kTransferCancelled;
    bool seenBefore = true, seenAfter = false;
    script.onOpen = [&](const platform::TransferRequest& request) {
        seenBefore = request.cancelled();
        manager->m_cancelRequested = true;
        seenAfter = request.cancelled();
    };
    ports.transfer->Serve(HttpStack::WinHttp, kUrl, script);
    EXPECT_EQ(manager->DownloadWithWinHttp(kUrl, kPage, InDownloads(L"a.exe")).second,
              L"[WINHTTP] Download cancelled.");
    EXPECT_FALSE(seenBefore);
    EXPECT_TRUE(seenAfter);
}

// --- names and folders --------------------------------------------------------------------

TEST_F(Downloads, ANameWithAQueryStringIsSavedWithoutIt) {
    const std::wstring url = L"https://files.test/f/setup.exe?x=1&y=a/b.exe#top";
    ports.transfer->ServeBoth(url, FakeTransfer::Body("x", 1));
    EXPECT_TRUE(Download(url).first);
    EXPECT_EQ(manager->m_lastDownloadedPath, InDownloads(L"setup.exe"));

    const std::wstring plain = L"https://files.test/f/tool.exe?v=2";
    ports.transfer->ServeBoth(plain, FakeTransfer::Body("x", 1));
    EXPECT_TRUE(Download(plain).first);
    EXPECT_EQ(manager->m_lastDownloadedPath, InDownloads(L"tool.exe"));
}

TEST_F(Downloads, RefusedNamesWriteNothingAnywhere) {
    ports.transfer->ServeBoth(kUrl, FakeTransfer::Body("x", 1));
    const auto filesBefore = ports.fileSystem->files;
    for (const wchar_t* name : {L"..\\x.exe", L"C:\\x.exe", L"a:b", L"con", L"x/..\\..\\y.exe"}) {
        EXPECT_EQ(Download(kUrl, L"", name).second,
                  L"[WINHTTP] Failed to open file for writing: 3 - Path not found.\r\n "
                  L"[WININET] Failed to open file for writing: 3 - Path not found.\r\n ");
    }
    // From the URL as well.
    for (const wchar_t* url : {L"https://files.test/f/..", L"https://files.test/f/con", L"https://files.test/f/"}) {
        ports.transfer->ServeBoth(url, FakeTransfer::Body("x", 1));
        EXPECT_FALSE(Download(url).first);
    }
    EXPECT_EQ(ports.fileSystem->files, filesBefore);
    EXPECT_TRUE(ports.ui->messages.empty());
}

TEST_F(Downloads, AMissingFolderShowsInvalidPathOnce) {
    config->m_downloadFolder = L"C:\\Gone";
    ports.transfer->ServeBoth(kUrl, FakeTransfer::Body("x", 1));
    EXPECT_EQ(Download(kUrl).second,
              L"[WINHTTP] Failed to open file for writing: 3 - Path not found.\r\n "
              L"[WININET] Failed to open file for writing: 3 - Path not found.\r\n ");
    ASSERT_EQ(ports.ui->messages.size(), 1u);
    EXPECT_EQ(ports.ui->messages[0].text, L"Invalid path");
    EXPECT_FALSE(ports.ui->messages[0].caption);
    EXPECT_EQ(ports.ui->messages[0].style, platform::kMbOk);
}

TEST_F(Downloads, ForbiddenCharactersOfAConfiguredNameBecomeUnderscores) {
    ports.transfer->ServeBoth(kUrl, FakeTransfer::Body("x", 1));
    EXPECT_TRUE(Download(kUrl, L"", L"Setup <1>?.exe").first);
    EXPECT_EQ(manager->m_lastDownloadedPath, InDownloads(L"Setup _1__.exe"));
}

TEST_F(Downloads, PathsLongerThanTheSystemTakesAreRefused) {
    // The folder, "\", the name and ".part" must fit in 259 characters.
    const std::size_t room = 259 - std::wstring(kDownloads).size() - 1 - 5;
    EXPECT_EQ(manager->TargetPathFromFileName(std::wstring(room, L'a'), false), InDownloads(std::wstring(room, L'a')));
    EXPECT_EQ(manager->TargetPathFromFileName(std::wstring(room + 1, L'a'), false), L"");
}

TEST_F(Downloads, TwoPackagesWithTheSameFileNameStayApart) {
    ports.transfer->ServeBoth(L"https://a.test/setup.exe", FakeTransfer::Body("first", 5));
    ports.transfer->ServeBoth(L"https://b.test/setup.exe", FakeTransfer::Body("second", 6));
    EXPECT_TRUE(manager->DownloadFile({L"https://a.test/setup.exe", L""}, kPage, L"", true, L"1").first);
    const std::wstring first = manager->m_lastDownloadedPath;
    EXPECT_TRUE(manager->DownloadFile({L"https://b.test/setup.exe", L""}, kPage, L"", true, L"2").first);
    EXPECT_EQ(first, std::wstring(kTemp) + L"\\1\\setup.exe");
    EXPECT_EQ(manager->m_lastDownloadedPath, std::wstring(kTemp) + L"\\2\\setup.exe");
    EXPECT_EQ(ports.fileSystem->Content(first), "first");
    EXPECT_EQ(ports.fileSystem->Content(manager->m_lastDownloadedPath), "second");
    EXPECT_EQ(manager->TargetPathFromFileName(L"setup.exe", true, L".."), L"");
    // A junction planted in a package folder's place would lead the file elsewhere.
    ports.fileSystem->AddDirectory(std::wstring(kTemp) + L"\\3");
    ports.fileSystem->links.insert(std::wstring(kTemp) + L"\\3");
    EXPECT_EQ(manager->TargetPathFromFileName(L"setup.exe", true, L"3"), L"");
}

// --- in memory ----------------------------------------------------------------------------

TEST_F(Downloads, InMemoryDownloadsTryTwiceAndNeverGiveNull) {
    FakeTransfer::Script missing;
    missing.answer.status = 404;
    ports.transfer->Serve(HttpStack::WinHttp, kUrl, missing);
    const auto bytes = manager->DownloadToMemory(kUrl);
    ASSERT_TRUE(bytes);
    EXPECT_TRUE(bytes->empty());
    ASSERT_EQ(ports.transfer->Requests().size(), 2u);
    EXPECT_TRUE(ports.transfer->Requests()[0].toMemory);
    EXPECT_TRUE(ports.clock->Sleeps().empty());

    ports.transfer->Serve(HttpStack::WinHttp, kUrl, FakeTransfer::Body("png!", std::nullopt, 2));
    EXPECT_EQ(*manager->DownloadToMemory(kUrl), (std::vector<char>{'p', 'n', 'g', '!'}));
    EXPECT_TRUE(ports.ui->PostedMessages().empty());
}

TEST_F(Downloads, InMemoryDownloadsAreBounded) {
    ports.transfer->Serve(HttpStack::WinHttp, kUrl, FakeTransfer::Body(std::string(100, 'x'), 100));
    EXPECT_TRUE(manager->DownloadToMemory(kUrl, 99)->empty());
    EXPECT_EQ(manager->DownloadToMemory(kUrl, 100)->size(), 100u);
    // A server that announces nothing is stopped as the bytes arrive.
    ports.transfer->Serve(HttpStack::WinHttp, kUrl, FakeTransfer::Body(std::string(100, 'x'), std::nullopt, 10));
    EXPECT_TRUE(manager->DownloadToMemory(kUrl, 95)->empty());
    EXPECT_EQ(kMemoryDownloadLimit, 8u * 1024 * 1024);
}

// Waits for the callbacks of DownloadToMemoryAsync, which run on threads of their own.
class Callbacks {
public:
    std::function<void(DownloadManager::Bytes)> Callback() {
        return [this](DownloadManager::Bytes bytes) {
            const std::lock_guard lock(m_mutex);
            m_results.push_back(std::move(bytes));
            m_changed.notify_all();
        };
    }
    std::vector<DownloadManager::Bytes>& Wait(std::size_t count) {
        std::unique_lock lock(m_mutex);
        EXPECT_TRUE(m_changed.wait_for(lock, std::chrono::seconds(10), [&] { return m_results.size() >= count; }));
        return m_results;
    }

private:
    std::mutex m_mutex;
    std::condition_variable m_changed;
    std::vector<DownloadManager::Bytes> m_results;
};

TEST_F(Downloads, AsyncInMemoryDownloadsDeliverOnTheirOwnThread) {
    ports.transfer->Serve(HttpStack::WinHttp, kUrl, FakeTransfer::Body("abc", 3));
    Callbacks callbacks;
    manager->DownloadToMemoryAsync(kUrl, callbacks.Callback());
    manager->DownloadToMemoryAsync(L"https://files.test/missing.png", callbacks.Callback());
    auto& results = callbacks.Wait(2);
    ASSERT_TRUE(results[0] && results[1]);
    EXPECT_EQ(results[0]->size() + results[1]->size(), 3u);
}

TEST_F(Downloads, AsyncInMemoryDownloadsAfterCancelDeliverNull) {
    manager->m_cancelRequested = true;
    Callbacks callbacks;
    manager->DownloadToMemoryAsync(kUrl, callbacks.Callback());
    EXPECT_FALSE(callbacks.Wait(1)[0]);
}

TEST_F(Downloads, ACallbackThatThrowsIsReportedNotFatal) {
    Callbacks callbacks;
    manager->DownloadToMemoryAsync(kUrl, [](DownloadManager::Bytes) { throw std::runtime_error("page gone"); });
    manager->DownloadToMemoryAsync(kUrl, callbacks.Callback());
    callbacks.Wait(1);
    const auto reported = [&] {
        for (const auto& line : ports.diagnostics->Lines()) {
            if (line.text.find("page gone") != std::string::npos) return true;
        }
        return false;
    };
    for (int i = 0; i < 500 && !reported(); ++i) std::this_thread::sleep_for(std::chrono::milliseconds(10));
    EXPECT_TRUE(reported());
}

}  // namespace
}  // namespace tessary
