// Start-up of the wizard host: caption, system menu, About box, exit question, single instance,
// and a build whose wizard key is unknown.
#include <gtest/gtest.h>

#include "e2e_environment.h"

namespace tessary::e2e {
namespace {

constexpr int kTitleText = 1008;
constexpr int kNext = 1010;
constexpr WPARAM kAboutCommand = 0x0010;

TEST(Startup, HostShowsTheLanguagePageWithTheSetupCaption) {
    WizardProcess wizard(WizardPath(L"TessarySetup"));
    ASSERT_TRUE(wizard.HasHost());
    EXPECT_EQ(WindowText(wizard.Host()), L"Setup");
    EXPECT_TRUE(wizard.WaitForPage(L"LanguagePage"));
    EXPECT_EQ(wizard.ControlText(kNext), L"Next");
    EXPECT_FALSE(wizard.IsControlVisible(kTitleText)) << "the title waits for the configuration";
    KeepScreenshot(wizard.Host(), L"startup-language-page");
}

TEST(Startup, AboutBoxShowsTheProgramVersion) {
    WizardProcess wizard(WizardPath(L"TessarySetup"));
    ASSERT_TRUE(wizard.HasHost());
    wizard.PostSystemCommand(kAboutCommand);
    const auto about = wizard.WaitForDialog();
    ASSERT_TRUE(about);
    EXPECT_EQ(about->caption, L"About Setup");
    EXPECT_EQ(WindowText(::GetDlgItem(about->window, 1045)), L"Tessary, Version 3.2.4.2137");
    KeepScreenshot(about->window, L"startup-about-box");
    WizardProcess::PressDialogButton(about->window, IDOK);
    EXPECT_TRUE(WaitUntil([&] { return !::IsWindow(about->window); }, 10s));
    EXPECT_TRUE(wizard.IsRunning());
}

TEST(Startup, ClosingAsksFirstAndCancelLeavesEverythingAsItWas) {
    WizardProcess wizard(WizardPath(L"TessarySetup"));
    ASSERT_TRUE(wizard.WaitForPage(L"LanguagePage"));
    wizard.PostClose();
    auto question = wizard.WaitForDialog();
    ASSERT_TRUE(question);
    EXPECT_EQ(question->text, L"Are you sure you want to exit the installer?");
    EXPECT_EQ(question->caption, L"");
    KeepScreenshot(question->window, L"startup-exit-question");
    WizardProcess::PressDialogButton(question->window, IDCANCEL);
    EXPECT_TRUE(WaitUntil([&] { return !::IsWindow(question->window); }, 10s));
    EXPECT_TRUE(wizard.IsRunning());
    EXPECT_TRUE(::IsWindowVisible(wizard.Host()));
    EXPECT_EQ(wizard.VisiblePage(), L"LanguagePage");

    wizard.PostClose();
    question = wizard.WaitForDialog();
    ASSERT_TRUE(question);
    WizardProcess::PressDialogButton(question->window, IDOK);
    EXPECT_EQ(wizard.WaitForExit(), std::optional<DWORD>(IDCANCEL));
}

TEST(Startup, SecondInstanceOfTheSameFlavourRefusesToStart) {
    WizardProcess first(WizardPath(L"TessarySetup"));
    ASSERT_TRUE(first.WaitForPage(L"LanguagePage"));
    WizardProcess second(WizardPath(L"TessarySetup"), 3s);
    const auto refusal = second.WaitForDialog();
    ASSERT_TRUE(refusal);
    EXPECT_EQ(refusal->caption, L"Error");
    EXPECT_EQ(refusal->text, L"Another setup is already running, please close it and try again");
    KeepScreenshot(refusal->window, L"startup-second-instance");
    WizardProcess::PressDialogButton(refusal->window, IDOK);
    EXPECT_EQ(second.WaitForExit(), std::optional<DWORD>(1));
    EXPECT_TRUE(first.IsRunning());
    EXPECT_EQ(first.VisiblePage(), L"LanguagePage");
}

TEST(Startup, UnknownWizardKeyIsRefusedWithTwoMessages) {
    WizardProcess wizard(WizardPath(L"TessarySetupUnknownKey"), 2s);
    auto first = wizard.WaitForDialog();
    ASSERT_TRUE(first);
    EXPECT_EQ(first->text, L"Unknown wizard type");
    WizardProcess::PressDialogButton(first->window, IDOK);
    EXPECT_TRUE(WaitUntil([&] { return !::IsWindow(first->window); }, 10s));
    auto second = wizard.WaitForDialog();
    ASSERT_TRUE(second);
    EXPECT_EQ(second->text, L"Invalid wizard type");
    WizardProcess::PressDialogButton(second->window, IDOK);
    EXPECT_EQ(wizard.WaitForExit(), std::optional<DWORD>(1));
}

}  // namespace
}  // namespace tessary::e2e
