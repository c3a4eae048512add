// Closing the real wizard at each stage of its work: the question it asks (if any), how soon it is
// gone after the answer, the closing events the service received and the run folder it leaves (none).
// The finish and error pages, which close without a question, are closed at the end of their
// scenarios in download_pages_test.cpp. Escape never closes the wizard.
#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <cstdio>

#include "e2e_environment.h"
#include "service_records.h"
#include "wizard_steps.h"

namespace tessary::e2e {
namespace {

constexpr wchar_t kExitQuestion[] = L"Are you sure you want to exit the installer?";
constexpr wchar_t kInstallerQuestion[] =
    L"Some installer processes are already running in the background and will finish momentarily. Are you sure "
    L"you would like to exit?";

// Presses Escape on the page shown and checks that nothing changed.
void ExpectEscapeIgnored(WizardProcess& wizard) {
    const HWND page = wizard.VisiblePageWindow();
    wizard.PressEscape();
    ::PostMessageW(wizard.Host(), WM_COMMAND, IDCANCEL, 0);
    EXPECT_FALSE(wizard.WaitForExit(1s)) << "Escape ended the wizard";
    EXPECT_FALSE(wizard.WaitForDialog(0ms)) << "Escape asked something";
    EXPECT_TRUE(::IsWindowVisible(wizard.Host()));
    EXPECT_EQ(wizard.VisiblePageWindow(), page);
}

TEST(Closing, DuringTheRequestAsksAndEndsAtOnce) {
    ScenarioRun run(TaggedWizardPath(L"TessarySetup", kRefusing));
    WizardProcess& wizard = run.wizard;
    ASSERT_NO_FATAL_FAILURE(LeaveLanguagePage(wizard));
    ASSERT_TRUE(wizard.WaitForPage(L"LoadingPage"));
    // The service refuses the first attempt; the request now pauses before the next.
    ::Sleep(1500);
    EXPECT_EQ(wizard.VisiblePage(), L"LoadingPage");
    KeepScreenshot(wizard.Host(), L"closing-loading-page");

    const auto closed = CloseWizard(wizard, L"closing-loading-question");
    EXPECT_EQ(closed.question, kExitQuestion);
    std::printf("closing during the request: process gone %lld ms after the answer\n",
                static_cast<long long>(closed.took.count()));
    // Neither the pause nor the request is waited for, only the main product's closing event.
    ExpectClosedCleanly(run, closed, {"main"}, 1000ms);
}

TEST(Closing, OnAnOfferPageAsksAndReportsTheOfferShown) {
    ScenarioRun run(TaggedWizardPath(L"TessarySetup", kSlowOffer));
    WizardProcess& wizard = run.wizard;
    ASSERT_NO_FATAL_FAILURE(WalkToFirstOffer(wizard));
    ExpectEscapeIgnored(wizard);
    KeepScreenshot(wizard.Host(), L"closing-offer-page");

    const auto closed = CloseWizard(wizard, L"closing-offer-question");
    EXPECT_EQ(closed.question, kExitQuestion);
    // The second offer was never shown.
    ExpectClosedCleanly(run, closed, {"main", "e2e-slow-offer"});
}

TEST(Closing, DuringADownloadAsksStopsTheTransferAndLeavesNoPartialFile) {
    ScenarioRun run(TaggedWizardPath(L"TessarySetup", kSlowOffer));
    WizardProcess& wizard = run.wizard;
    ASSERT_FALSE(run.folder.empty());
    ASSERT_NO_FATAL_FAILURE(WalkToFirstOffer(wizard));
    ASSERT_NO_FATAL_FAILURE(LeavePageWith(wizard, kAccept));
    ASSERT_NO_FATAL_FAILURE(LeavePageWith(wizard, kDecline));
    ASSERT_TRUE(wizard.WaitForPage(L"DownloadPageDLM"));
    // The product comes at once; the offer takes half a minute and grows as a partial file.
    ASSERT_TRUE(WaitUntil(
        [&] {
            for (const auto& file : FilesBelow(run.folder)) {
                if (file.find(L"offer-big-slow.bin") != std::wstring::npos) return true;
            }
            return false;
        },
        20s));
    ExpectEscapeIgnored(wizard);
    KeepScreenshot(wizard.Host(), L"closing-download-page");

    const auto closed = CloseWizard(wizard, L"closing-download-question");
    EXPECT_EQ(closed.question, kExitQuestion);
    std::printf("closing during a download: process gone %lld ms after the answer\n",
                static_cast<long long>(closed.took.count()));
    // The product and the declined offer had their outcomes; the offer on its way is abandoned, and
    // its stopped transfer is no failure to report.
    ExpectClosedCleanly(run, closed, {"e2e-slow-offer"});
    EXPECT_THAT(EventSummary(EventsSince(run.since)), testing::Not(testing::Contains("e2e-slow-offer -1")));
}

TEST(Closing, WhileTheMainInstallerRunsAsksTheInstallerQuestionAndDoesNotWaitForIt) {
    ScenarioRun run(TaggedWizardPath(L"TessarySetupIsvWait", kInstallerOffer));
    WizardProcess& wizard = run.wizard;
    ASSERT_FALSE(run.folder.empty());
    ASSERT_NO_FATAL_FAILURE(WalkToFirstOffer(wizard));
    ASSERT_NO_FATAL_FAILURE(LeavePageWith(wizard, kAccept));
    ASSERT_TRUE(wizard.WaitForPage(L"DownloadPageISV"));
    // The product's installer runs for ten seconds.
    ASSERT_EQ(run.installers.WaitForStarts(1, 20s).size(), 1u);
    KeepScreenshot(wizard.Host(), L"closing-installer-running");

    const auto closed = CloseWizard(wizard, L"closing-installer-question");
    EXPECT_EQ(closed.question, kInstallerQuestion);
    std::printf("closing while the installer runs: process gone %lld ms after the answer\n",
                static_cast<long long>(closed.took.count()));
    // Neither the product nor the offer, which waits for it, has an outcome yet. The installer still
    // runs from the run folder, which is therefore left to the next restart.
    ExpectClosedCleanly(run, closed, {"main", "e2e-isv-offer"}, 5s, RunFolderAfterClose::RemovedOrLeftToRestart);
    EXPECT_EQ(run.installers.Starts().size(), 1u) << "no offer is started after the close";
    // The installer is not the wizard's to end; the test waits for it before it tidies up.
    for (const auto& [id, commandLine] : ProcessesNamed(L"veloran-wait10.exe")) {
        win32::KernelHandle installer(::OpenProcess(SYNCHRONIZE, FALSE, id));
        if (installer) ::WaitForSingleObject(installer.Get(), 10000);
    }
}

}  // namespace
}  // namespace tessary::e2e
