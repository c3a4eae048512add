// The loading page of the real wizard against the stand-in service, one document per file-name
// tag: what the configuration brings decides the pages that follow. What reaches the service
// (the rejected offer's reason, the events of the close) is read back by scripts/test.
#include <gtest/gtest.h>

#include "e2e_environment.h"
#include "wizard_steps.h"

namespace tessary::e2e {
namespace {

TEST(LoadingPage, KeepsTheOffersThatPassTheirRulesEachOnAPageWithItsPicture) {
    WizardProcess wizard(TaggedWizardPath(L"TessarySetup", kThreeOffers));
    ASSERT_NO_FATAL_FAILURE(WalkToWelcome(wizard));
    EXPECT_EQ(wizard.ControlText(kProductTitle), L"Veloran");
    EXPECT_TRUE(ShowsPicture(wizard.Control(kPageImage))) << "the product picture";
    KeepScreenshot(wizard.Host(), L"loading-three-offers-welcome");
    wizard.Click(kNext);

    // The second offer asks for more memory than any machine has; the first and the last remain.
    ASSERT_TRUE(wizard.WaitForPage(L"ProductPage"));
    const HWND first = wizard.PageWindow(L"ProductPage");
    EXPECT_NE(wizard.ControlText(kDisclaimer).find(L"\"Atlas Kartenviewer\""), std::wstring::npos);
    EXPECT_NE(wizard.ControlText(kDisclaimer).find(L"href=\"https://tessary.example/e2e-three-first/privacy\""),
              std::wstring::npos);
    EXPECT_TRUE(wizard.IsControlVisible(kSkipAll));
    EXPECT_TRUE(ShowsPicture(wizard.Control(kOfferImage)));
    KeepScreenshot(wizard.Host(), L"loading-three-offers-first-offer");
    // A double click: both clicks go to this page's button, and the second reaches a page that is
    // no longer shown and answers nothing.
    const HWND accept = wizard.Control(kAccept);
    for (int click = 0; click < 2; ++click) {
        ::PostMessageW(first, WM_COMMAND, MAKEWPARAM(kAccept, BN_CLICKED), reinterpret_cast<LPARAM>(accept));
    }

    ASSERT_TRUE(WaitUntil([&] { return ::IsWindowVisible(first) == FALSE; }, 10s));
    ASSERT_TRUE(wizard.WaitForPage(L"ProductPage"));
    ::Sleep(500);
    EXPECT_EQ(wizard.VisiblePage(), L"ProductPage") << "the second click did not answer the last offer";
    EXPECT_NE(wizard.ControlText(kDisclaimer).find(L"\"Quill Notizen\""), std::wstring::npos);
    EXPECT_FALSE(wizard.IsControlVisible(kSkipAll)) << "Skip All is hidden on the last offer";
    EXPECT_TRUE(ShowsPicture(wizard.Control(kOfferImage)));
    KeepScreenshot(wizard.Host(), L"loading-three-offers-last-offer");
    wizard.Click(kAccept);

    // Both offers are downloaded and started on the way.
    ASSERT_TRUE(wizard.WaitForPage(L"FinishPageDLM", 30s));
    // Closing from the last page asks nothing.
    wizard.PostClose();
    EXPECT_EQ(wizard.WaitForExit(), std::optional<DWORD>(IDCANCEL));
}

TEST(LoadingPage, WithoutOffersTheProductPictureIsStillFetched) {
    for (const wchar_t* tag : {kChannelOff, kNoOffers}) {
        SCOPED_TRACE(tag);
        WizardProcess wizard(TaggedWizardPath(L"TessarySetup", tag));
        ASSERT_NO_FATAL_FAILURE(WalkToWelcome(wizard));
        EXPECT_TRUE(ShowsPicture(wizard.Control(kPageImage)));
        EXPECT_TRUE(ShowsPicture(wizard.Control(kProductIcon)));
        EXPECT_EQ(WindowText(wizard.Host()), L"Veloran Setup");
        KeepScreenshot(wizard.Host(), std::wstring(L"loading-no-offers-") + tag);
        wizard.Click(kNext);
        EXPECT_TRUE(wizard.WaitForPage(L"FinishPageDLM"));
    }
}

TEST(LoadingPage, AMissingProductOrServiceShowsTheConfigurationError) {
    const std::pair<std::wstring, const wchar_t*> runs[] = {
        {TaggedWizardPath(L"TessarySetup", kEmptyTitle), L"loading-error-empty-title"},
        {WizardPath(L"TessarySetupNoService"), L"loading-error-no-service"}};
    for (const auto& [program, screenshot] : runs) {
        SCOPED_TRACE(screenshot);
        WizardProcess wizard(program);
        ASSERT_NO_FATAL_FAILURE(LeaveLanguagePage(wizard));
        ASSERT_TRUE(wizard.WaitForPage(L"ErrorPage", 30s));
        EXPECT_EQ(wizard.ControlText(kErrorTitle), L"Something went wrong");
        EXPECT_EQ(wizard.ControlText(kErrorText), L"Please try to download later");
        KeepScreenshot(wizard.Host(), screenshot);
        wizard.Click(kClose);
        EXPECT_EQ(wizard.WaitForExit(), std::optional<DWORD>(1));
    }
}

TEST(LoadingPage, TheInstallerFlavourGoesOnWithoutOffersWhenTheServiceCannotBeReached) {
    WizardProcess wizard(WizardPath(L"TessarySetupIsvNoService"));
    ASSERT_NO_FATAL_FAILURE(WalkToWelcome(wizard));
    EXPECT_EQ(wizard.ControlText(kProductTitle), L"Veloran");
    KeepScreenshot(wizard.Host(), L"loading-installer-no-service");
    wizard.Click(kNext);
    // Its product comes by its complete address from a host that does answer.
    EXPECT_TRUE(wizard.WaitForPage(L"FinishPageISV", 30s));
}

}  // namespace
}  // namespace tessary::e2e
