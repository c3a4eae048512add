#include <gtest/gtest.h>

#include <chrono>

#include "fake_ports.h"
#include "install/run_executable.h"

namespace tessary {
namespace {

using namespace std::chrono_literals;
using Outcome = testing::FakeProcesses::Outcome;

TEST(InstallerCommandLine, QuotesThePathAndAlwaysAddsOneBlank) {
    EXPECT_EQ(InstallerCommandLine(L"C:\\T\\setup.exe", L"/S"), L"\"C:\\T\\setup.exe\" /S");
    EXPECT_EQ(InstallerCommandLine(L"C:\\T\\setup.exe", L""), L"\"C:\\T\\setup.exe\" ");
    // Blanks in the path stay inside the quotes; the arguments go as they are.
    EXPECT_EQ(InstallerCommandLine(L"C:\\Program Files\\a b.exe", L"/D=\"C:\\x y\" -q"),
              L"\"C:\\Program Files\\a b.exe\" /D=\"C:\\x y\" -q");
}

TEST(RunExecutable, WaitedExitCodesAndTheirMessages) {
    testing::FakePorts ports;
    ports.processes->SetOutcome(L"\"C:\\ok.exe\" /S", Outcome{.exitCode = 0});
    ports.processes->SetOutcome(L"\"C:\\two.exe\" /S", Outcome{.exitCode = 2});
    ports.processes->SetOutcome(L"\"C:\\neg.exe\" /S", Outcome{.exitCode = 0xC0000005u});

    const auto ok = RunExecutable(L"C:\\ok.exe", L"/S", true);
    EXPECT_EQ(ok.exitCode, 0u);
    EXPECT_EQ(ok.message, L"");
    EXPECT_TRUE(ok.started);

    const auto two = RunExecutable(L"C:\\two.exe", L"/S", true);
    EXPECT_EQ(two.exitCode, 2u);
    EXPECT_EQ(two.message, L"exit code = 2");
    EXPECT_TRUE(two.started);

    // Printed unsigned, as the code a crashed installer leaves.
    EXPECT_EQ(RunExecutable(L"C:\\neg.exe", L"/S", true).message, L"exit code = 3221225477");
    EXPECT_EQ(ports.processes->Waits(), 3);
}

TEST(RunExecutable, NobodyWaitsSoTheCodeStaysUnknown) {
    testing::FakePorts ports;
    ports.processes->SetDefaultOutcome(Outcome{.exitCode = 0});
    const auto result = RunExecutable(L"C:\\offer.exe", L"", false);
    EXPECT_TRUE(result.started);
    EXPECT_EQ(result.exitCode, kExitCodeUnknown);
    EXPECT_EQ(result.message, L"exit code = 4294967295");
    EXPECT_EQ(ports.processes->Waits(), 0);
    EXPECT_EQ(ports.processes->CommandLines(), std::vector<std::wstring>{L"\"C:\\offer.exe\" "});
}

TEST(RunExecutable, FailedStartCarriesTheSystemsTextVerbatim) {
    testing::FakePorts ports;
    ports.processes->SetDefaultOutcome(Outcome{.startFailure = 2});
    const auto missing = RunExecutable(L"C:\\gone.exe", L"", true);
    EXPECT_FALSE(missing.started);
    EXPECT_EQ(missing.exitCode, kExitCodeUnknown);
    EXPECT_EQ(missing.message, L"Error launching executable: File not found.\r\n");

    // A message with an insert comes out with the insert left in.
    ports.processes->SetDefaultOutcome(Outcome{.startFailure = 193});
    EXPECT_EQ(RunExecutable(L"C:\\pack.zip", L"", false).message,
              L"Error launching executable: %1 is not a valid Win32 application.\r\n");

    // A status the system has no text for still says what happened.
    ports.processes->SetDefaultOutcome(Outcome{.startFailure = 999});
    EXPECT_EQ(RunExecutable(L"C:\\x.exe", L"", true).message, L"Error launching executable: ");
    EXPECT_EQ(ports.processes->Waits(), 0);
}

TEST(RunExecutable, AWaitThatFailsLeavesTheCodeUnknown) {
    testing::FakePorts ports;
    ports.processes->SetDefaultOutcome(Outcome{.exitCode = 0, .waitFailure = 6});
    const auto result = RunExecutable(L"C:\\x.exe", L"", true);
    EXPECT_TRUE(result.started);
    // Not the STILL_ACTIVE a process that has not ended would answer, and not a success.
    EXPECT_EQ(result.exitCode, kExitCodeUnknown);
    EXPECT_EQ(result.message, L"exit code = 4294967295");
}

TEST(RunExecutableAsync, DeliversTheLaunchOnceTheProgramHasEnded) {
    testing::FakePorts ports;
    std::promise<void> end;
    ports.processes->SetDefaultOutcome(Outcome{.exitCode = 2, .runsUntil = end.get_future().share()});
    auto launch = RunExecutableAsync(L"C:\\main.exe", L"/S", true);
    EXPECT_EQ(launch.wait_for(50ms), std::future_status::timeout);
    end.set_value();
    ASSERT_EQ(launch.wait_for(10s), std::future_status::ready);
    const auto result = launch.get();
    EXPECT_EQ(result.exitCode, 2u);
    EXPECT_EQ(result.message, L"exit code = 2");
    EXPECT_EQ(ports.processes->CommandLines(), std::vector<std::wstring>{L"\"C:\\main.exe\" /S"});
}

TEST(RunExecutableAsync, DroppingTheFutureDoesNotWaitForTheProgram) {
    testing::FakePorts ports;
    std::promise<void> end;
    ports.processes->SetDefaultOutcome(Outcome{.exitCode = 0, .runsUntil = end.get_future().share()});
    const auto before = std::chrono::steady_clock::now();
    {
        auto launch = RunExecutableAsync(L"C:\\main.exe", L"", true);
        // Gone with the program still running, as when the wizard closes during the main install.
    }
    EXPECT_LT(std::chrono::steady_clock::now() - before, 5s);
    // Let the launch thread finish before the fakes go.
    end.set_value();
    for (int i = 0; i < 1000 && ports.processes->Waits() == 0; ++i) std::this_thread::sleep_for(5ms);
    std::this_thread::sleep_for(20ms);
    EXPECT_EQ(ports.processes->Waits(), 1);
}

TEST(RunExecutableAsync, AFailedStartIsAnAnswerNotAnException) {
    testing::FakePorts ports;
    ports.processes->SetDefaultOutcome(Outcome{.startFailure = 2});
    auto launch = RunExecutableAsync(L"C:\\gone.exe", L"", false);
    ASSERT_EQ(launch.wait_for(10s), std::future_status::ready);
    const auto result = launch.get();
    EXPECT_FALSE(result.started);
    EXPECT_EQ(result.message, L"Error launching executable: File not found.\r\n");
}

TEST(RunExecutableAsync, WhatEscapesTheLaunchBecomesAFailedLaunch) {
    testing::FakePorts ports;
    // Without a process port the launch throws on its thread.
    const auto saved = platform::InstallPorts({});
    auto launch = RunExecutableAsync(L"C:\\x.exe", L"", true);
    ASSERT_EQ(launch.wait_for(10s), std::future_status::ready);
    platform::InstallPorts(saved);
    const auto result = launch.get();
    EXPECT_FALSE(result.started);
    EXPECT_EQ(result.exitCode, kExitCodeUnknown);
    EXPECT_TRUE(result.message.starts_with(L"Error launching executable: ")) << testing::U8(result.message);
}

}  // namespace
}  // namespace tessary
