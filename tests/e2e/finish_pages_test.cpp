// How a run of the real wizard ends: on the error page, which keeps the run's temporary folder,
// or on a finish page, which starts its product and removes the folder. The runs get a document
// without offers, so the download page fetches only the product and the finish page follows.
#include <gtest/gtest.h>

#include "e2e_environment.h"
#include "wizard_steps.h"

namespace tessary::e2e {
namespace {

// Where "{commonpf}" leads for a wizard of this test's own width. Under WOW64 it is the 64-bit
// Program Files folder, which Windows names to a 32-bit process only through ProgramW6432; a 64-bit
// process gets the "(x86)" folder, as the program's placeholder rule has it. Both are pinned to what
// Windows calls them, so the test does not just repeat the program's own lookup.
std::wstring CommonProgramFiles() {
    BOOL wow64 = FALSE;
    if (::IsWow64Process(::GetCurrentProcess(), &wow64) && wow64) {
        wchar_t folder[MAX_PATH] = {};
        ::GetEnvironmentVariableW(L"ProgramW6432", folder, MAX_PATH);
        EXPECT_STREQ(folder, L"C:\\Program Files");
        EXPECT_NE(KnownFolder(FOLDERID_ProgramFilesX86), folder);
        return folder;
    }
    const std::wstring x86 = KnownFolder(FOLDERID_ProgramFilesX86);
    if (sizeof(void*) == 8) {
        EXPECT_EQ(x86, L"C:\\Program Files (x86)");
    }
    return x86;
}

// A wizard whose run folder holds a file, as if something had been downloaded.
struct WizardRun : ScenarioRun {
    explicit WizardRun(const std::wstring& name) : ScenarioRun(TaggedWizardPath(name, kNoOffers)) {
        if (!folder.empty()) PutFileInto(folder);
    }
};

TEST(ErrorPage, ShowsOverTheCurrentPageInItsLanguageAndCloseKeepsTheRunFolder) {
    WizardRun run(L"TessarySetup");
    WizardProcess& wizard = run.wizard;
    ASSERT_TRUE(wizard.WaitForPage(L"LanguagePage"));
    ASSERT_FALSE(run.folder.empty());
    // The error page is made at start-up; it follows a language chosen afterwards.
    ASSERT_TRUE(wizard.SelectComboEntry(kLanguageCombo, L"русский"));
    ASSERT_TRUE(WaitUntil([&] { return wizard.ControlText(kNext) == L"Далее"; }, 10s));

    ::PostMessageW(wizard.Host(), WM_COMMAND, kShowTestError, 0);
    ASSERT_TRUE(wizard.WaitForPage(L"ErrorPage"));
    EXPECT_EQ(wizard.ControlText(kErrorTitle), L"Error");
    EXPECT_EQ(wizard.ControlText(kErrorText), L"Error message");
    EXPECT_EQ(wizard.ControlText(kClose), L"Закрыть");
    KeepScreenshot(wizard.Host(), L"pages-error");

    wizard.Click(kClose);
    EXPECT_EQ(wizard.WaitForExit(), std::optional<DWORD>(1));
    EXPECT_TRUE(Exists(run.folder + L"\\downloaded.bin"));
}

TEST(FinishPageDlm, LaunchIsTheChoiceAndFinishRemovesTheRunFolder) {
    WizardRun run(L"TessarySetup");
    WizardProcess& wizard = run.wizard;
    ASSERT_FALSE(run.folder.empty());
    // The product of a document without "cf" is named after its title.
    const std::wstring product = DownloadsFolder() + L"\\Veloran.exe";
    ::DeleteFileW(product.c_str());
    ASSERT_NO_FATAL_FAILURE(WalkToWelcome(wizard));
    EXPECT_TRUE(HasMinimizeBox(wizard.Host()));
    wizard.Click(kNext);

    ASSERT_TRUE(wizard.WaitForPage(L"FinishPageDLM"));
    EXPECT_TRUE(Exists(product));
    EXPECT_TRUE(IsChecked(wizard.Control(kLaunchRadio)));
    EXPECT_FALSE(IsChecked(wizard.Control(kOpenFolderRadio)));
    EXPECT_EQ(wizard.ControlText(kLaunchRadio), L"Launch");
    EXPECT_EQ(wizard.ControlText(kOpenFolderRadio), L"Open Folder");
    EXPECT_EQ(wizard.ControlText(kFinish), L"Finish");
    EXPECT_EQ(wizard.ControlText(kFinishTitle), L"Thank you.\r\nYou have successfully downloaded Veloran.");
    EXPECT_FALSE(HasMinimizeBox(wizard.Host()));
    KeepScreenshot(wizard.Host(), L"pages-finish-download");

    wizard.Click(kFinish);
    EXPECT_EQ(wizard.WaitForExit(), std::optional<DWORD>(1));
    EXPECT_FALSE(Exists(run.folder));
    const auto started = run.installers.WaitForStarts(1);
    ASSERT_EQ(started.size(), 1u);
    EXPECT_EQ(started[0].program, product);
}

// The installer flavour's product is the sample installer, put where the build's launch target
// "{commonpf}\TessaryE2E\Veloran.exe" leads.
class FinishPageIsvTest : public testing::Test {
protected:
    void SetUp() override {
        const std::wstring programFiles = CommonProgramFiles();
        ASSERT_FALSE(programFiles.empty());
        productFolder = programFiles + L"\\TessaryE2E";
        product = productFolder + L"\\Veloran.exe";
        ::CreateDirectoryW(productFolder.c_str(), nullptr);
        ASSERT_TRUE(::CopyFileW(TESSARY_SAMPLE_INSTALLER, product.c_str(), FALSE));
    }
    void TearDown() override { RemoveFolder(productFolder); }

    // Walks to the finish page and presses Finish, with the launch box as asked.
    void FinishWith(WizardRun& run, bool launch) {
        WizardProcess& wizard = run.wizard;
        ASSERT_FALSE(run.folder.empty());
        ASSERT_NO_FATAL_FAILURE(WalkToWelcome(wizard));
        wizard.Click(kNext);
        // The download page runs the product's own installer on the way.
        ASSERT_TRUE(wizard.WaitForPage(L"FinishPageISV", 30s));
        EXPECT_TRUE(IsChecked(wizard.Control(kLaunchCheckbox)));
        EXPECT_EQ(wizard.ControlText(kLaunchCheckbox), L"Launch the application on exit");
        EXPECT_EQ(wizard.ControlText(kFinishText),
                  L"You have successfully installed Veloran. Click \"Finish\" to proceed.");
        EXPECT_FALSE(HasMinimizeBox(wizard.Host()));
        if (!launch) {
            ClickButton(wizard.Control(kLaunchCheckbox));
            EXPECT_FALSE(IsChecked(wizard.Control(kLaunchCheckbox)));
        }
        KeepScreenshot(wizard.Host(), launch ? L"pages-finish-installer" : L"pages-finish-installer-unticked");
        wizard.Click(kFinish);
        EXPECT_EQ(wizard.WaitForExit(), std::optional<DWORD>(1));
        EXPECT_FALSE(Exists(run.folder));
    }

    std::wstring productFolder;
    std::wstring product;
};

TEST_F(FinishPageIsvTest, FinishStartsTheProductAtItsExpandedPathWithItsParametersAsWritten) {
    WizardRun run(L"TessarySetupIsv");
    FinishWith(run, true);
    EXPECT_TRUE(WaitUntil(
        [&] {
            for (const auto& start : run.installers.Starts()) {
                if (start.program == product &&
                    start.commandLine == L"\"" + product + L"\" /from-finish-page {commonpf}") {
                    return true;
                }
            }
            return false;
        },
        15s));
}

TEST_F(FinishPageIsvTest, FinishWithTheBoxClearedOnlyEndsTheWizard) {
    WizardRun run(L"TessarySetupIsv");
    FinishWith(run, false);
    ::Sleep(2000);
    for (const auto& start : run.installers.Starts()) EXPECT_NE(start.program, product);
}

}  // namespace
}  // namespace tessary::e2e
