#include "wizard_steps.h"

#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include "e2e_environment.h"
#include "service_records.h"

namespace tessary::e2e {

bool ShowsPicture(HWND control) {
    RECT bounds{};
    if (!control || !::IsWindowVisible(control) || !::GetWindowRect(control, &bounds)) return false;
    const HDC screen = ::GetDC(nullptr);
    // Every pixel of a small control such as the header's icon, every third of a large one.
    const int step = (bounds.right - bounds.left) * (bounds.bottom - bounds.top) < 4000 ? 1 : 3;
    std::set<COLORREF> colours;
    for (int y = bounds.top; y < bounds.bottom; y += step) {
        for (int x = bounds.left; x < bounds.right; x += step) colours.insert(::GetPixel(screen, x, y));
    }
    ::ReleaseDC(nullptr, screen);
    return colours.size() > 8;
}

bool IsChecked(HWND button) {
    DWORD_PTR state = 0;
    ::SendMessageTimeoutW(button, BM_GETCHECK, 0, 0, SMTO_ABORTIFHUNG, 5000, &state);
    return state == BST_CHECKED;
}

void ClickButton(HWND button) { ::SendMessageTimeoutW(button, BM_CLICK, 0, 0, SMTO_ABORTIFHUNG, 5000, nullptr); }

bool HasMinimizeBox(HWND window) { return (::GetWindowLongPtrW(window, GWL_STYLE) & WS_MINIMIZEBOX) != 0; }

void LeaveLanguagePage(const WizardWindows& wizard) {
    ASSERT_TRUE(wizard.HasHost());
    ASSERT_TRUE(wizard.WaitForPage(L"LanguagePage"));
    wizard.Click(kNext);
}

void WalkToWelcome(const WizardWindows& wizard) {
    ASSERT_NO_FATAL_FAILURE(LeaveLanguagePage(wizard));
    ASSERT_TRUE(wizard.WaitForPage(L"WelcomePage", 30s));
}

void WalkToFirstOffer(const WizardWindows& wizard) {
    ASSERT_NO_FATAL_FAILURE(WalkToWelcome(wizard));
    wizard.Click(kNext);
    ASSERT_TRUE(wizard.WaitForPage(L"ProductPage"));
}

void LeavePageWith(const WizardWindows& wizard, int button) {
    const HWND page = wizard.VisiblePageWindow();
    ASSERT_NE(page, nullptr);
    wizard.Click(button);
    ASSERT_TRUE(WaitUntil(
        [&] {
            const HWND now = wizard.VisiblePageWindow();
            return now != nullptr && now != page;
        },
        20s))
        << "still on " << WindowText(page).size() << "-letter page after button " << button;
}

std::vector<ProgressState> WatchProgress(HWND page, const std::function<bool()>& done,
                                         std::chrono::milliseconds timeout) {
    const HWND bar = ::GetDlgItem(page, kProgressBar);
    std::vector<ProgressState> seen;
    const auto end = std::chrono::steady_clock::now() + timeout;
    while (!done() && std::chrono::steady_clock::now() < end) {
        const ProgressState state = ReadProgress(bar);
        if (seen.empty() || !(seen.back() == state)) seen.push_back(state);
        ::Sleep(10);
    }
    return seen;
}

CloseOutcome CloseWizard(WizardProcess& wizard, const std::wstring& screenshot) {
    CloseOutcome outcome;
    wizard.PostClose();
    std::optional<MessageBoxInfo> question;
    // Either a question comes or the wizard ends without one.
    WaitUntil(
        [&] {
            question = wizard.WaitForDialog(0ms);
            return question || !wizard.IsRunning();
        },
        10s);
    if (question) {
        outcome.question = question->text;
        KeepScreenshot(question->window, screenshot);
        WizardProcess::PressDialogButton(question->window, IDOK);
    }
    const auto start = std::chrono::steady_clock::now();
    outcome.exitCode = wizard.WaitForExit(10s);
    outcome.took = std::chrono::duration_cast<std::chrono::milliseconds>(std::chrono::steady_clock::now() - start);
    return outcome;
}

void ExpectStartedFromRunFolder(const std::vector<InstallerStart>& starts, const std::wstring& runFolder,
                                const std::wstring& name, const std::wstring& arguments) {
    const auto start = StartOf(starts, name);
    ASSERT_TRUE(start) << "no start of " << testing::PrintToString(name);
    EXPECT_FALSE(runFolder.empty());
    EXPECT_EQ(start->program.rfind(runFolder + L"\\", 0), 0u) << testing::PrintToString(start->program);
    EXPECT_EQ(start->commandLine, L"\"" + start->program + L"\" " + arguments);
}

void ExpectClosedCleanly(const ScenarioRun& run, const CloseOutcome& closed, const std::vector<std::string>& abandoned,
                         std::chrono::milliseconds limit, RunFolderAfterClose folder) {
    EXPECT_EQ(closed.exitCode, std::optional<DWORD>(IDCANCEL));
    EXPECT_LT(closed.took.count(), limit.count()) << "ms from the answer to the end of the process";
    EXPECT_FALSE(run.folder.empty());
    if (folder == RunFolderAfterClose::RemovedOrLeftToRestart && Exists(run.folder)) {
        EXPECT_TRUE(IsScheduledForRemoval(run.folder)) << "the run folder is left behind for good";
        for (const auto& file : FilesBelow(run.folder)) {
            EXPECT_TRUE(IsScheduledForRemoval(run.folder + L"\\" + file)) << testing::PrintToString(file);
        }
    } else {
        EXPECT_FALSE(Exists(run.folder)) << "the run folder is left behind";
    }
    // The close waits for its reports before the process ends, so they are all in by now.
    std::vector<std::string> closing;
    for (const auto& event : EventSummary(EventsSince(run.since))) {
        if (event.ends_with(" 5")) closing.push_back(event);
    }
    std::vector<std::string> expected;
    for (const auto& package : abandoned) expected.push_back(package + " 5");
    EXPECT_THAT(closing, testing::UnorderedElementsAreArray(expected));
}

ScenarioRun::LeftoverRemoval::~LeftoverRemoval() {
    if (!folder.empty()) RemoveFolder(folder);
}

ScenarioRun::ScenarioRun(const std::wstring& program)
    : since(ServiceTimeNow()),
      foldersBefore(RunTempFolders()),
      wizard(program),
      folder(NewRunTempFolder(foldersBefore)) {
    m_leftovers.folder = folder;
}

}  // namespace tessary::e2e
