// Starting programs for real: the stand-in installer notes its path and command line and ends
// with the code its name asks for.
#include <windows.h>

#include <gtest/gtest.h>

#include <chrono>
#include <sstream>
#include <thread>

#include "install/run_executable.h"
#include "platform/ports.h"
#include "platform/win32/handles.h"
#include "real_ports.h"
#include "scratch_folder.h"

namespace tessary {
namespace {

using namespace std::chrono_literals;

std::string Utf8(const std::wstring& text) { return platform::Text().ToNarrow(platform::CodePage::Utf8, text).Value(); }

class RunExecutableOnWindows : public ::testing::Test {
protected:
    RunExecutableOnWindows() { ::SetEnvironmentVariableW(L"TESSARY_INSTALLER_LOG", LogPath().c_str()); }
    ~RunExecutableOnWindows() override { ::SetEnvironmentVariableW(L"TESSARY_INSTALLER_LOG", nullptr); }

    std::wstring LogPath() const { return m_folder / L"installers.log"; }

    // The stand-in installer under another name in the test's folder.
    std::wstring Installer(const std::wstring& name) const {
        const std::wstring path = m_folder / name;
        EXPECT_TRUE(::CopyFileW(TESSARY_SAMPLE_INSTALLER, path.c_str(), FALSE)) << ::GetLastError();
        return path;
    }

    std::vector<std::string> LogLines() const {
        std::istringstream in(testing::ReadWholeFile(LogPath()));
        std::vector<std::string> lines;
        for (std::string line; std::getline(in, line);) lines.push_back(line);
        return lines;
    }

    // The log's lines once there are at least count of them, or what there is after a while.
    std::vector<std::string> AwaitLines(std::size_t count) const {
        const auto until = std::chrono::steady_clock::now() + 60s;
        auto lines = LogLines();
        while (lines.size() < count && std::chrono::steady_clock::now() < until) {
            std::this_thread::sleep_for(50ms);
            lines = LogLines();
        }
        return lines;
    }

    testing::RealPorts m_ports;
    testing::ScratchFolder m_folder{L"TessaryRun"};
};

TEST_F(RunExecutableOnWindows, WaitedProgramsGiveTheirExitCodeAndSeeTheirCommandLineExactly) {
    const std::wstring failing = Installer(L"x-exit2.exe");
    const std::wstring arguments = L"/S /D=\"C:\\Program Files\\x y\" --tag=\u00E9";
    const auto result = RunExecutable(failing, arguments, true);
    EXPECT_TRUE(result.started);
    EXPECT_EQ(result.exitCode, 2u);
    EXPECT_EQ(result.message, L"exit code = 2");

    const std::wstring succeeding = Installer(L"main.exe");
    const auto ok = RunExecutable(succeeding, L"", true);
    EXPECT_TRUE(ok.started);
    EXPECT_EQ(ok.exitCode, 0u);
    EXPECT_EQ(ok.message, L"");

    EXPECT_EQ(LogLines(), (std::vector<std::string>{Utf8(failing + L"\t\"" + failing + L"\" " + arguments),
                                                    Utf8(succeeding + L"\t\"" + succeeding + L"\" ")}));
}

TEST_F(RunExecutableOnWindows, WithoutWaitTheLaunchReturnsWhileTheProgramRuns) {
    const std::wstring offer = Installer(L"offer-exit5.exe");
    LaunchResult result;
    {
        // Held without sharing, the log keeps the installer trying (and running) until it is let go.
        const win32::FileHandle held(
            ::CreateFileW(LogPath().c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, FILE_ATTRIBUTE_NORMAL, nullptr));
        ASSERT_TRUE(held);
        result = RunExecutable(offer, L"/quiet", false);
        ASSERT_TRUE(result.process);
        EXPECT_FALSE(result.process->HasEnded());
    }
    EXPECT_TRUE(result.started);
    EXPECT_EQ(result.exitCode, kExitCodeUnknown);
    EXPECT_EQ(result.message, L"exit code = 4294967295");
    // Its line arrives only now: it was still running when the launch returned.
    EXPECT_EQ(AwaitLines(1), std::vector<std::string>{Utf8(offer + L"\t\"" + offer + L"\" /quiet")});
    // The launch keeps hold of the program, so the wizard can tell when it has ended.
    const auto until = std::chrono::steady_clock::now() + 60s;
    while (!result.process->HasEnded() && std::chrono::steady_clock::now() < until) std::this_thread::sleep_for(50ms);
    EXPECT_TRUE(result.process->HasEnded());
}

TEST_F(RunExecutableOnWindows, AMissingProgramGivesTheSystemsOwnText) {
    const auto result = RunExecutable(m_folder / L"missing.exe", L"/S", true);
    EXPECT_FALSE(result.started);
    EXPECT_EQ(result.exitCode, kExitCodeUnknown);
    const std::wstring text = platform::Processes().SystemErrorText(ERROR_FILE_NOT_FOUND);
    EXPECT_FALSE(text.empty());
    EXPECT_EQ(result.message, L"Error launching executable: " + text);
}

TEST_F(RunExecutableOnWindows, AFileThatIsNoProgramFailsWithAText) {
    const std::wstring archive = m_folder / L"pack.zip";
    ASSERT_TRUE(testing::WriteWholeFile(archive, "PK\x03\x04 not a program"));
    const auto result = RunExecutable(archive, L"", false);
    EXPECT_FALSE(result.started);
    // The system's text for it has an insert ("%1 is not a valid Win32 application."); it comes
    // out with the insert left in rather than not at all.
    const std::wstring text = platform::Processes().SystemErrorText(ERROR_BAD_EXE_FORMAT);
    EXPECT_NE(text.find(L"%1"), std::wstring::npos) << Utf8(text);
    EXPECT_EQ(result.message, L"Error launching executable: " + text);
}

TEST_F(RunExecutableOnWindows, TheAsyncLaunchDeliversTheExitCode) {
    const std::wstring main = Installer(L"main-exit3.exe");
    auto launch = RunExecutableAsync(main, L"/S", true);
    ASSERT_EQ(launch.wait_for(120s), std::future_status::ready);
    const auto result = launch.get();
    EXPECT_EQ(result.exitCode, 3u);
    EXPECT_EQ(result.message, L"exit code = 3");
    EXPECT_EQ(LogLines(), std::vector<std::string>{Utf8(main + L"\t\"" + main + L"\" /S")});
}

}  // namespace
}  // namespace tessary
