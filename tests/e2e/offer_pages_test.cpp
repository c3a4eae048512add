// Answers on the real offer pages against the stand-in service: which pages follow, and, read
// back by scripts/test from the service's records, which events each answer sent.
#include <gtest/gtest.h>

#include "e2e_environment.h"
#include "wizard_steps.h"

namespace tessary::e2e {
namespace {

TEST(OfferPages, SkipAllOnTheFirstOfferPassesOverTheOthers) {
    WizardProcess wizard(TaggedWizardPath(L"TessarySetup", kSkipAllOffers));
    ASSERT_NO_FATAL_FAILURE(WalkToFirstOffer(wizard));
    EXPECT_TRUE(wizard.IsControlVisible(kSkipAll));
    EXPECT_EQ(wizard.ControlText(kSkipAll), L"Skip All");
    KeepScreenshot(wizard.Host(), L"offers-skip-all-first");
    wizard.Click(kSkipAll);
    ASSERT_TRUE(wizard.WaitForPage(L"FinishPageDLM"));
    wizard.Click(kFinish);
    EXPECT_EQ(wizard.WaitForExit(), std::optional<DWORD>(1));
}

TEST(OfferPages, AnEarlierDeclinePassesOverTheOfferThatAsksForItAndNoOther) {
    WizardProcess wizard(TaggedWizardPath(L"TessarySetup", kDeclineOffers));
    ASSERT_NO_FATAL_FAILURE(WalkToFirstOffer(wizard));
    const HWND first = wizard.PageWindow(L"ProductPage");
    EXPECT_NE(wizard.ControlText(kDisclaimer).find(L"\"Atlas Kartenviewer\""), std::wstring::npos);
    wizard.Click(kDecline);

    ASSERT_TRUE(WaitUntil([&] { return ::IsWindowVisible(first) == FALSE; }, 10s));
    ASSERT_TRUE(wizard.WaitForPage(L"ProductPage"));
    EXPECT_NE(wizard.ControlText(kDisclaimer).find(L"\"Quill Notizen\""), std::wstring::npos)
        << "the second offer stays away after a decline";
    EXPECT_FALSE(wizard.IsControlVisible(kSkipAll));
    KeepScreenshot(wizard.Host(), L"offers-after-decline");
    wizard.Click(kAccept);
    // The accepted offer is downloaded and started on the way; scripts/test reads its event.
    ASSERT_TRUE(wizard.WaitForPage(L"FinishPageDLM"));
    wizard.PostClose();
    EXPECT_EQ(wizard.WaitForExit(), std::optional<DWORD>(IDCANCEL));
}

}  // namespace
}  // namespace tessary::e2e
