// The download pages of the real wizard against the stand-in service: where the product lands,
// which installers start from where with which arguments, what the progress bar shows, how
// archives are treated, and the event the service received for every outcome. The installers
// are the sample installer (tests/win32/tools), which logs each start.
#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <algorithm>
#include <optional>

#include "e2e_environment.h"
#include "service_records.h"
#include "wizard_steps.h"

namespace tessary::e2e {
namespace {

using testing::AllOf;
using testing::ElementsAre;
using testing::HasSubstr;
using testing::IsSupersetOf;
using testing::StartsWith;
using testing::UnorderedElementsAreArray;

bool EndsWith(const std::wstring& text, const std::wstring& tail) {
    return text.size() >= tail.size() && text.compare(text.size() - tail.size(), tail.size(), tail) == 0;
}

TEST(DownloadPageDlm, FullRunLandsTheProductStartsTheAcceptedOffersAndReportsEachAnswer) {
    ScenarioRun run(TaggedWizardPath(L"TessarySetup", kFullRun));
    WizardProcess& wizard = run.wizard;
    const std::wstring product = DownloadsFolder() + L"\\Veloran Full.exe";
    ::DeleteFileW(product.c_str());
    ASSERT_FALSE(run.folder.empty());
    ASSERT_NO_FATAL_FAILURE(WalkToFirstOffer(wizard));

    // The offer with a bare file name, the one declined, then the one with a complete address; the
    // one the machine fails never shows, the one that stays away after a decline is passed over.
    EXPECT_NE(wizard.ControlText(kDisclaimer).find(L"/e2e-full-bare/"), std::wstring::npos);
    ASSERT_NO_FATAL_FAILURE(LeavePageWith(wizard, kAccept));
    EXPECT_NE(wizard.ControlText(kDisclaimer).find(L"/e2e-full-declined/"), std::wstring::npos);
    ASSERT_NO_FATAL_FAILURE(LeavePageWith(wizard, kDecline));
    EXPECT_NE(wizard.ControlText(kDisclaimer).find(L"/e2e-full-direct/"), std::wstring::npos);
    ASSERT_NO_FATAL_FAILURE(LeavePageWith(wizard, kAccept));

    ASSERT_TRUE(wizard.WaitForPage(L"FinishPageDLM", 30s)) << testing::PrintToString(wizard.VisiblePage());
    KeepScreenshot(wizard.Host(), L"download-full-finish");
    EXPECT_TRUE(Exists(product)) << "the product lands in Downloads under its \"cf\" name";
    const auto offers = run.installers.WaitForStarts(2);
    EXPECT_EQ(offers.size(), 2u);
    ExpectStartedFromRunFolder(offers, run.folder, L"e2e-setup.exe", L"/quiet /bare");
    ExpectStartedFromRunFolder(offers, run.folder, L"offer-direct.exe", L"/S /direct");

    const std::vector<std::string> expected{
        "main 1",           "main 3", "e2e-full-ram 2", "e2e-full-bare 3", "e2e-full-declined 4", "e2e-full-passed 2",
        "e2e-full-direct 3"};
    EXPECT_THAT(WaitForEventSummary(run.since, expected), IsSupersetOf(expected));

    // Launch is the choice: Finish starts the product and removes the run folder.
    wizard.Click(kFinish);
    EXPECT_EQ(wizard.WaitForExit(), std::optional<DWORD>(1));
    EXPECT_FALSE(Exists(run.folder));
    const auto starts = run.installers.WaitForStarts(3);
    ASSERT_EQ(starts.size(), 3u);
    EXPECT_TRUE(StartOf(starts, L"Veloran Full.exe")) << "Finish with Launch starts the product";
    EXPECT_EQ(StartOf(starts, L"Veloran Full.exe")->program, product);
    EXPECT_THAT(EventSummary(EventsSince(run.since)), UnorderedElementsAreArray(expected))
        << "an event of its own for every outcome, and nothing else";
}

// The second offer's installer, unpacked from its archive, is still at work when the wizard closes:
// its folder stays for the next restart with what lies beside it, the folder of the first offer,
// which has ended, goes at once.
TEST(DownloadPageDlm, AMissingProductStillRunsTheOffersThenShowsTheErrorPageWhichClosesWithoutAQuestion) {
    ScenarioRun run(TaggedWizardPath(L"TessarySetup", kMissingProduct));
    WizardProcess& wizard = run.wizard;
    ASSERT_NO_FATAL_FAILURE(WalkToFirstOffer(wizard));
    ASSERT_NO_FATAL_FAILURE(LeavePageWith(wizard, kAccept));
    ASSERT_NO_FATAL_FAILURE(LeavePageWith(wizard, kAccept));

    ASSERT_TRUE(wizard.WaitForPage(L"ErrorPage", 30s));
    EXPECT_EQ(wizard.ControlText(kErrorTitle), L"Error in downloading");
    EXPECT_EQ(wizard.ControlText(kErrorText), L"Please try to download later");
    KeepScreenshot(wizard.Host(), L"download-missing-product-error");
    const auto offers = run.installers.WaitForStarts(2);
    EXPECT_EQ(offers.size(), 2u);
    ExpectStartedFromRunFolder(offers, run.folder, L"e2e-setup.exe", L"/first");
    ExpectStartedFromRunFolder(offers, run.folder, L"offer-wait\\setup-wait30.exe", L"/second");
    ASSERT_TRUE(WaitUntil([&] { return ProcessesNamed(L"e2e-setup.exe").empty(); }, 20s)) << "the first offer ends";

    const std::vector<std::string> expected{"main 1", "main 3", "e2e-404-first 3", "e2e-404-second 3"};
    EXPECT_THAT(WaitForEventSummary(run.since, expected), IsSupersetOf(expected));
    // A failed product reports 3 in this build, with the transfer's failure.
    EXPECT_THAT(FailureTexts(EventsSince(run.since), "main", "3"),
                ElementsAre(AllOf(StartsWith("DOWNLOAD FAILED: "), HasSubstr("404"))));

    const auto closed = CloseWizard(wizard, L"download-missing-product-close");
    EXPECT_EQ(closed.question, std::nullopt) << "the error page closes without a question";
    // Every package has reported its outcome already; nothing is abandoned.
    ExpectClosedCleanly(run, closed, {}, 5s, RunFolderAfterClose::RemovedOrLeftToRestart);
    const auto running = ProcessesNamed(L"setup-wait30.exe");
    EXPECT_EQ(running.size(), 1u) << "the installer is not the wizard's to end";
    EXPECT_THAT(FilesBelow(run.folder + L"\\3"),
                testing::UnorderedElementsAre(L"offer-wait.zip", L"offer-wait\\setup-wait30.exe",
                                              L"offer-wait\\setup-data.bin"))
        << "the running installer keeps its folder";
    EXPECT_TRUE(IsScheduledForRemoval(run.folder + L"\\3"));
    EXPECT_FALSE(Exists(run.folder + L"\\2")) << "the folder of the installer that has ended goes at once";
    for (const auto& [id, commandLine] : running) EndProcess(id);
}

TEST(DownloadPageDlm, TheProductAddressIsUsedAsItIsNeverOnTheFileHost) {
    ScenarioRun run(TaggedWizardPath(L"TessarySetup", kBareProduct));
    WizardProcess& wizard = run.wizard;
    const std::wstring product = DownloadsFolder() + L"\\Veloran Bare.exe";
    ::DeleteFileW(product.c_str());
    ASSERT_NO_FATAL_FAILURE(WalkToWelcome(wizard));
    wizard.Click(kNext);

    // "e2e/veloran-product.exe" lies on the file host, but as a product address it leads nowhere.
    ASSERT_TRUE(wizard.WaitForPage(L"ErrorPage", 30s));
    KeepScreenshot(wizard.Host(), L"download-bare-product-error");
    EXPECT_FALSE(Exists(product));
    EXPECT_THAT(WaitForEventSummary(run.since, {"main 3"}), IsSupersetOf({"main 3"}));
    EXPECT_THAT(FailureTexts(EventsSince(run.since), "main", "3"), ElementsAre(StartsWith("DOWNLOAD FAILED: ")));
}

TEST(DownloadPageDlm, TheBarRisesToAHundredThenRunsAsAMarqueeForAFileOfUnknownLength) {
    ScenarioRun run(TaggedWizardPath(L"TessarySetup", kProgress));
    WizardProcess& wizard = run.wizard;
    ASSERT_NO_FATAL_FAILURE(WalkToFirstOffer(wizard));
    ASSERT_NO_FATAL_FAILURE(LeavePageWith(wizard, kAccept));
    ASSERT_TRUE(wizard.WaitForPage(L"DownloadPageDLM"));
    const HWND page = wizard.PageWindow(L"DownloadPageDLM");
    const HWND bar = ::GetDlgItem(page, kProgressBar);

    // The product comes paced over about three seconds, with its length; the offer after it without.
    const auto pageGone = [&] { return ::IsWindowVisible(page) == FALSE; };
    auto seen = WatchProgress(page, [&] { return pageGone() || ReadProgress(bar).position >= 30; });
    KeepScreenshot(wizard.Host(), L"download-progress");
    const auto rest = WatchProgress(page, pageGone);
    seen.insert(seen.end(), rest.begin(), rest.end());

    const auto hundred = std::find(seen.begin(), seen.end(), ProgressState{100, false});
    const auto marquee =
        std::find_if(seen.begin(), seen.end(), [](const ProgressState& state) { return state.marquee; });
    ASSERT_NE(hundred, seen.end()) << "the product's transfer ends at 100";
    EXPECT_TRUE(std::any_of(seen.begin(), hundred, [](const auto& state) { return state.position > 0; }))
        << "positions between 0 and 100 on the way";
    EXPECT_TRUE(std::is_sorted(seen.begin(), hundred + 1, [](const auto& a, const auto& b) {
        return a.position < b.position;
    })) << "the bar never goes back while one file comes";
    EXPECT_GT(std::count_if(seen.begin(), hundred, [](const auto& state) { return state.position > 0; }), 3)
        << "the bar moves in steps";
    ASSERT_NE(marquee, seen.end()) << "a file without a length shows the marquee";
    EXPECT_GT(marquee, hundred);

    ASSERT_TRUE(wizard.WaitForPage(L"FinishPageDLM"));
    KeepScreenshot(wizard.Host(), L"download-progress-finish");
    EXPECT_TRUE(Exists(DownloadsFolder() + L"\\Veloran Slow.exe"));
    ExpectStartedFromRunFolder(run.installers.WaitForStarts(1), run.folder, L"notes-slow-chunked.exe", L"/chunked");
    // Both outcomes are in before the close, which then has nothing left to report.
    const std::vector<std::string> outcomes{"main 3", "e2e-prog-chunked 3"};
    EXPECT_THAT(WaitForEventSummary(run.since, outcomes), IsSupersetOf(outcomes));

    const auto closed = CloseWizard(wizard, L"download-progress-close");
    EXPECT_EQ(closed.question, std::nullopt) << "the finish page closes without a question";
    ExpectClosedCleanly(run, closed, {});
}

TEST(DownloadPageDlm, ArchivesAZipIsUnpackedAndItsSetupStartedNothingLandsOutsideA7zFails) {
    ScenarioRun run(TaggedWizardPath(L"TessarySetup", kArchives));
    WizardProcess& wizard = run.wizard;
    const std::wstring product = DownloadsFolder() + L"\\Veloran Archives.exe";
    ASSERT_FALSE(run.folder.empty());
    ASSERT_NO_FATAL_FAILURE(WalkToFirstOffer(wizard));
    for (int offer = 0; offer < 4; ++offer) ASSERT_NO_FATAL_FAILURE(LeavePageWith(wizard, kAccept));

    ASSERT_TRUE(wizard.WaitForPage(L"FinishPageDLM", 30s));
    const std::vector<std::string> expected{"main 1",           "main 3",         "e2e-arch-zip 3",
                                            "e2e-arch-evil -1", "e2e-arch-7z -1", "e2e-arch-missing -1"};
    EXPECT_THAT(WaitForEventSummary(run.since, expected), IsSupersetOf(expected));
    const auto events = EventsSince(run.since);
    EXPECT_THAT(FailureTexts(events, "e2e-arch-7z", "-1"), ElementsAre(StartsWith("EXEC FAILED: ")));
    EXPECT_THAT(FailureTexts(events, "e2e-arch-evil", "-1"), ElementsAre(StartsWith("EXEC FAILED: ")));
    EXPECT_THAT(FailureTexts(events, "e2e-arch-missing", "-1"), ElementsAre(StartsWith("DOWNLOAD FAILED: ")));

    // Only the setup.exe unpacked from pack.zip ran, from the folder named after its archive.
    const auto starts = run.installers.Starts();
    ASSERT_EQ(starts.size(), 1u);
    ExpectStartedFromRunFolder(starts, run.folder, L"pack\\setup.exe", L"/from-zip");
    // The entries of evil.zip that point outside its folder were not written anywhere.
    for (const auto& file : FilesBelow(run.folder)) {
        EXPECT_EQ(file.find(L"evil-"), std::wstring::npos) << testing::PrintToString(file);
        EXPECT_FALSE(EndsWith(file, L"evil.exe")) << testing::PrintToString(file);
    }
    for (const std::wstring& outside : {TempPath() + L"evil.exe", std::wstring(L"C:\\evil-rooted.exe"),
                                        std::wstring(L"C:\\evil-drive.exe"), TempPath() + L"evil-rooted.exe"}) {
        EXPECT_FALSE(Exists(outside)) << testing::PrintToString(outside);
    }

    // Open Folder shows the product selected in Explorer.
    ClickButton(wizard.Control(kOpenFolderRadio));
    KeepScreenshot(wizard.Host(), L"download-archives-finish");
    const auto explorersBefore = ProcessesNamed(L"explorer.exe");
    wizard.Click(kFinish);
    EXPECT_EQ(wizard.WaitForExit(), std::optional<DWORD>(1));
    EXPECT_FALSE(Exists(run.folder));
    std::optional<std::pair<DWORD, std::wstring>> explorer;
    WaitUntil(
        [&] {
            for (const auto& [id, commandLine] : ProcessesNamed(L"explorer.exe")) {
                if (explorersBefore.count(id) == 0) explorer.emplace(id, commandLine);
            }
            return explorer.has_value();
        },
        15s);
    ASSERT_TRUE(explorer) << "no Explorer started";
    EXPECT_NE(explorer->second.find(L"/select,\"" + product + L"\""), std::wstring::npos)
        << testing::PrintToString(explorer->second);
    EndProcess(explorer->first);
}

}  // namespace
}  // namespace tessary::e2e
