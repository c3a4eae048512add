// The installer flavour's download page in the real wizard: the product's own installer runs
// first and is waited for, with the marquee and the installer question on close, then the offers
// are started; a failed installer ends on the error page after them. Its arguments come from the
// BT pages' choices when the build has them.
#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include "e2e_environment.h"
#include "service_records.h"
#include "wizard_steps.h"

namespace tessary::e2e {
namespace {

using testing::ElementsAre;
using testing::IsSupersetOf;

TEST(DownloadPageIsv, TheProductsInstallerIsAwaitedBeforeTheOffersStart) {
    ScenarioRun run(TaggedWizardPath(L"TessarySetupIsvWait", kInstallerOffer));
    WizardProcess& wizard = run.wizard;
    ASSERT_NO_FATAL_FAILURE(WalkToFirstOffer(wizard));
    ASSERT_NO_FATAL_FAILURE(LeavePageWith(wizard, kAccept));
    ASSERT_TRUE(wizard.WaitForPage(L"DownloadPageISV"));
    const HWND page = wizard.PageWindow(L"DownloadPageISV");

    // The product's installer runs for ten seconds: the bar only says that work goes on, the offer
    // waits, and closing asks the installer question.
    const auto running = run.installers.WaitForStarts(1, 20s);
    ASSERT_EQ(running.size(), 1u);
    ExpectStartedFromRunFolder(running, run.folder, L"veloran-wait10.exe", L"/isv-product");
    EXPECT_TRUE(ReadProgress(::GetDlgItem(page, kProgressBar)).marquee);
    ::Sleep(1000);
    EXPECT_EQ(run.installers.Starts().size(), 1u) << "an offer started while the installer ran";
    KeepScreenshot(wizard.Host(), L"download-isv-installer-running");
    wizard.PostClose();
    const auto question = wizard.WaitForDialog();
    ASSERT_TRUE(question);
    EXPECT_EQ(question->text,
              L"Some installer processes are already running in the background and will finish momentarily. Are "
              L"you sure you would like to exit?");
    KeepScreenshot(question->window, L"download-isv-installer-question");
    WizardProcess::PressDialogButton(question->window, IDCANCEL);

    ASSERT_TRUE(wizard.WaitForPage(L"FinishPageISV", 30s));
    KeepScreenshot(wizard.Host(), L"download-isv-finish");
    const auto starts = run.installers.WaitForStarts(2);
    ASSERT_EQ(starts.size(), 2u);
    EXPECT_TRUE(StartOf({starts[0]}, L"veloran-wait10.exe")) << "the installer first";
    ExpectStartedFromRunFolder({starts[1]}, run.folder, L"offer-direct.exe", L"/isv-offer");
    const std::vector<std::string> expected{"main 1", "main 3", "e2e-isv-offer 3"};
    EXPECT_THAT(WaitForEventSummary(run.since, expected), IsSupersetOf(expected));

    // This build has nothing to launch.
    ClickButton(wizard.Control(kLaunchCheckbox));
    wizard.Click(kFinish);
    EXPECT_EQ(wizard.WaitForExit(), std::optional<DWORD>(1));
    EXPECT_FALSE(Exists(run.folder));
}

TEST(DownloadPageIsv, BtChoicesMakeTheInstallersArgumentsAndItsFailureEndsOnTheErrorPageAfterTheOffers) {
    ScenarioRun run(TaggedWizardPath(L"TessarySetupIsvBt", kInstallerOffer));
    WizardProcess& wizard = run.wizard;
    ASSERT_TRUE(wizard.WaitForPage(L"LanguagePageBT"));
    wizard.Click(kNext);
    ASSERT_TRUE(wizard.WaitForPage(L"WarningPageBTClassic", 30s));
    wizard.Click(kNext);
    ASSERT_TRUE(wizard.WaitForPage(L"LicensePage"));
    wizard.Click(kAgree);
    ASSERT_TRUE(wizard.WaitForPage(L"ProductPage"));
    ASSERT_NO_FATAL_FAILURE(LeavePageWith(wizard, kAccept));
    // The second option and the first configuration cleared, every other box left ticked.
    ASSERT_TRUE(wizard.WaitForPage(L"OptionsPageBTClassic"));
    ClickButton(wizard.Control(kOptionBoxes[1]));
    wizard.Click(kNext);
    ASSERT_TRUE(wizard.WaitForPage(L"ConfigurationsPageBTClassic"));
    ClickButton(wizard.Control(kConfigurationBoxes[0]));
    wizard.Click(kNext);

    ASSERT_TRUE(wizard.WaitForPage(L"ErrorPage", 30s));
    EXPECT_EQ(wizard.ControlText(kErrorTitle), L"Error occurred while installing Veloran.");
    EXPECT_EQ(wizard.ControlText(kErrorText), L"Click on \"Close\" and try again later.");
    KeepScreenshot(wizard.Host(), L"download-isv-bt-error");
    // Configurations 2, 3, 0, then fixed digits, 1, fixed, 4, 2, options 1, 2, 0, fixed.
    const auto starts = run.installers.WaitForStarts(2);
    ASSERT_EQ(starts.size(), 2u);
    ExpectStartedFromRunFolder({starts[0]}, run.folder, L"veloran-exit2.exe", L"/S /FORCEINSTALL 1100010101110110");
    ExpectStartedFromRunFolder({starts[1]}, run.folder, L"offer-direct.exe", L"/isv-offer");

    const std::vector<std::string> expected{"main 1", "main 3", "e2e-isv-offer 3"};
    EXPECT_THAT(WaitForEventSummary(run.since, expected), IsSupersetOf(expected));
    EXPECT_THAT(FailureTexts(EventsSince(run.since), "main", "3"), ElementsAre("EXEC FAILED: exit code = 2"));

    wizard.Click(kClose);
    EXPECT_EQ(wizard.WaitForExit(), std::optional<DWORD>(1));
}

// Without its installer there is nothing to run for the product: the offer still runs, and the
// failed download ends on the error page.
TEST(DownloadPageIsv, AMissingInstallerStillRunsTheOfferAndEndsOnTheErrorPage) {
    ScenarioRun run(TaggedWizardPath(L"TessarySetupIsvMissing", kInstallerOffer));
    WizardProcess& wizard = run.wizard;
    ASSERT_NO_FATAL_FAILURE(WalkToFirstOffer(wizard));
    ASSERT_NO_FATAL_FAILURE(LeavePageWith(wizard, kAccept));

    ASSERT_TRUE(wizard.WaitForPage(L"ErrorPage", 30s));
    EXPECT_EQ(wizard.ControlText(kErrorTitle), L"Error occurred while installing Veloran.");
    EXPECT_EQ(wizard.ControlText(kErrorText), L"Click on \"Close\" and try again later.");
    KeepScreenshot(wizard.Host(), L"download-isv-missing-error");
    const auto starts = run.installers.WaitForStarts(1);
    ASSERT_EQ(starts.size(), 1u);
    ExpectStartedFromRunFolder(starts, run.folder, L"offer-direct.exe", L"/isv-offer");

    const std::vector<std::string> expected{"main 1", "main 3", "e2e-isv-offer 3"};
    EXPECT_THAT(WaitForEventSummary(run.since, expected), IsSupersetOf(expected));
    EXPECT_THAT(FailureTexts(EventsSince(run.since), "main", "3"),
                ElementsAre(testing::AllOf(testing::StartsWith("DOWNLOAD FAILED: "), testing::HasSubstr("404"))));

    wizard.Click(kClose);
    EXPECT_EQ(wizard.WaitForExit(), std::optional<DWORD>(1));
}

}  // namespace
}  // namespace tessary::e2e
