// The language, welcome and BT pages of the real wizard. The runs that go past the language page
// get a document without offers from the stand-in service, so the content pages follow the
// loading page directly and the download page fetches only the product.
#include <gtest/gtest.h>

#include <utility>
#include <vector>

#include "e2e_environment.h"
#include "wizard_steps.h"

namespace tessary::e2e {
namespace {

constexpr wchar_t kRussian[] = L"русский";

int Width(HWND window) {
    RECT bounds{};
    ::GetWindowRect(window, &bounds);
    return bounds.right - bounds.left;
}

// The controls of a page that still show their template's text, which names the text's key:
// a control or key missing from the page's table, or a key the string table lacks.
std::vector<std::wstring> TemplateTexts(HWND page) {
    std::vector<std::wstring> texts;
    for (HWND child = ::GetWindow(page, GW_CHILD); child; child = ::GetWindow(child, GW_HWNDNEXT)) {
        const std::wstring text = WindowText(child);
        if (text.find(L"placeholder") != std::wstring::npos) texts.push_back(text);
    }
    return texts;
}

int PageCount(const WizardProcess& wizard) {
    int count = 0;
    for (HWND child = ::GetWindow(wizard.Host(), GW_CHILD); child; child = ::GetWindow(child, GW_HWNDNEXT)) {
        if (WindowClass(child) == L"#32770") ++count;
    }
    return count;
}

// Under Wine a started program has the locale of the program that starts it, so this follows
// the locale the tests run in: run them with LC_ALL=ru_RU.UTF-8 to see the Russian choice.
TEST(LanguagePage, OffersTheFourteenDownloadLanguagesWithTheUsersOneChosen) {
    WizardProcess wizard(WizardPath(L"TessarySetup"));
    ASSERT_TRUE(wizard.WaitForPage(L"LanguagePage"));
    const auto languages = wizard.ComboEntries(kLanguageCombo);
    EXPECT_EQ(languages.size(), 14u);
    wchar_t locale[LOCALE_NAME_MAX_LENGTH] = {};
    ::GetUserDefaultLocaleName(locale, LOCALE_NAME_MAX_LENGTH);
    const bool russian = ::wcsncmp(locale, L"ru", 2) == 0;
    EXPECT_EQ(wizard.ComboSelection(kLanguageCombo), russian ? kRussian : L"English");
    EXPECT_EQ(wizard.ControlText(kNext), russian ? L"Далее" : L"Next");
    KeepScreenshot(wizard.Host(), russian ? L"pages-language-russian-user" : L"pages-language-english-user");
}

TEST(WelcomePage, IsBuiltInTheLanguageChosenBeforeIt) {
    WizardProcess wizard(TaggedWizardPath(L"TessarySetup", kNoOffers));
    ASSERT_TRUE(wizard.WaitForPage(L"LanguagePage"));
    ASSERT_TRUE(wizard.SelectComboEntry(kLanguageCombo, kRussian));
    ASSERT_TRUE(WaitUntil([&] { return wizard.ControlText(kNext) == L"Далее"; }, 10s));
    EXPECT_EQ(wizard.ControlText(kSplashText), L"Чтобы продолжить, выберите нужный язык и нажмите \"Далее\".");
    KeepScreenshot(wizard.Host(), L"pages-language-russian");

    ASSERT_NO_FATAL_FAILURE(WalkToWelcome(wizard));
    EXPECT_EQ(wizard.ControlText(kWelcomeTitle), L"Вас приветствует");
    EXPECT_EQ(wizard.ControlText(kNext), L"Далее");
    KeepScreenshot(wizard.Host(), L"pages-welcome-russian");
}

TEST(WelcomePage, DownloadFlavourGreetsAndLinksOnlyWhereItHasAddresses) {
    WizardProcess wizard(TaggedWizardPath(L"TessarySetup", kNoOffers));
    ASSERT_NO_FATAL_FAILURE(WalkToWelcome(wizard));
    EXPECT_EQ(wizard.ControlText(kWelcomeTitle), L"Welcome to");
    // The document names the product but gives it no privacy policy or terms.
    EXPECT_EQ(wizard.ControlText(kWelcomeText),
              L"This will download Veloran on your computer. Click \"Next\" to continue.");
    EXPECT_EQ(wizard.ControlText(kTermsLink), L"End User License Agreement");
    EXPECT_FALSE(wizard.IsControlVisible(kPrivacyLink));
    EXPECT_FALSE(wizard.IsControlVisible(kTermsLink));
    EXPECT_TRUE(wizard.IsControlVisible(kSdkLink));
    EXPECT_EQ(wizard.ControlText(kSdkLink), L"License");
    KeepScreenshot(wizard.Host(), L"pages-welcome-download");

    wizard.Click(kNext);
    // No offers: the download page fetches the product and the finish page follows.
    EXPECT_TRUE(wizard.WaitForPage(L"FinishPageDLM"));
}

TEST(WelcomePage, InstallerFlavourShowsItsProductAndAllThreeLinks) {
    WizardProcess wizard(TaggedWizardPath(L"TessarySetupIsv", kNoOffers));
    ASSERT_TRUE(wizard.WaitForPage(L"LanguagePage"));
    EXPECT_EQ(wizard.ComboEntries(kLanguageCombo).size(), 2u);
    ASSERT_NO_FATAL_FAILURE(WalkToWelcome(wizard));
    EXPECT_EQ(wizard.ControlText(kProductTitle), L"Veloran");
    EXPECT_EQ(wizard.ControlText(kWelcomeText),
              L"This will install Veloran on your computer. Click \"Next\" to continue.");
    EXPECT_EQ(wizard.ControlText(kTermsLink), L"End User License Agreement");
    for (const int link : {kPrivacyLink, kTermsLink, kSdkLink}) EXPECT_TRUE(wizard.IsControlVisible(link)) << link;
    // Each link is as wide as its text.
    EXPECT_LT(Width(wizard.Control(kSdkLink)), Width(wizard.Control(kPrivacyLink)));
    EXPECT_LT(Width(wizard.Control(kPrivacyLink)), Width(wizard.Control(kTermsLink)));
    KeepScreenshot(wizard.Host(), L"pages-welcome-installer");
}

TEST(BtPages, WalkForwardAndBackKeepingTheTicks) {
    WizardProcess wizard(TaggedWizardPath(L"TessarySetupBt", kNoOffers));
    ASSERT_TRUE(wizard.WaitForPage(L"LanguagePageBT"));
    EXPECT_FALSE(wizard.IsControlVisible(kLanguageCombo));
    EXPECT_EQ(wizard.ControlText(kSplashTitleBt), L"Welcome to  Setup");
    EXPECT_FALSE(wizard.WaitForDialog(1s)) << "the BT texts load without a complaint";
    KeepScreenshot(wizard.Host(), L"pages-bt-language");

    wizard.Click(kNext);
    ASSERT_TRUE(wizard.WaitForPage(L"WarningPageBTClassic"));
    const HWND warning = wizard.PageWindow(L"WarningPageBTClassic");
    const int pages = PageCount(wizard);
    EXPECT_EQ(wizard.ControlText(kBack), L"Back");
    KeepScreenshot(wizard.Host(), L"pages-bt-warning");

    // Back from the first content page returns to the language page; Next comes back to the same
    // page without building the content pages again.
    wizard.Click(kBack);
    ASSERT_TRUE(wizard.WaitForPage(L"LanguagePageBT"));
    wizard.Click(kNext);
    ASSERT_TRUE(wizard.WaitForPage(L"WarningPageBTClassic"));
    EXPECT_EQ(wizard.PageWindow(L"WarningPageBTClassic"), warning);
    EXPECT_EQ(PageCount(wizard), pages);

    wizard.Click(kNext);
    ASSERT_TRUE(wizard.WaitForPage(L"LicensePage"));
    EXPECT_EQ(wizard.ControlText(kLicenseTitle), L"License Agreement");
    EXPECT_EQ(wizard.ControlText(kAgree), L"Agree");
    EXPECT_EQ(wizard.ControlText(kLicenseDisclaimer).find(L"[LICENSE_"), std::wstring::npos);
    KeepScreenshot(wizard.Host(), L"pages-bt-license");
    wizard.Click(kBack);
    ASSERT_TRUE(wizard.WaitForPage(L"WarningPageBTClassic"));
    wizard.Click(kNext);
    ASSERT_TRUE(wizard.WaitForPage(L"LicensePage"));
    wizard.Click(kAgree);

    ASSERT_TRUE(wizard.WaitForPage(L"OptionsPageBTClassic"));
    for (const int box : kOptionBoxes) EXPECT_TRUE(IsChecked(wizard.Control(box))) << box;
    ClickButton(wizard.Control(kOptionBoxes[1]));
    EXPECT_FALSE(IsChecked(wizard.Control(kOptionBoxes[1])));
    KeepScreenshot(wizard.Host(), L"pages-bt-options");
    wizard.Click(kNext);

    ASSERT_TRUE(wizard.WaitForPage(L"ConfigurationsPageBTClassic"));
    for (const int box : kConfigurationBoxes) EXPECT_TRUE(IsChecked(wizard.Control(box))) << box;
    KeepScreenshot(wizard.Host(), L"pages-bt-configurations");
    wizard.Click(kBack);
    ASSERT_TRUE(wizard.WaitForPage(L"OptionsPageBTClassic"));
    EXPECT_TRUE(IsChecked(wizard.Control(kOptionBoxes[0])));
    EXPECT_FALSE(IsChecked(wizard.Control(kOptionBoxes[1])));
    EXPECT_TRUE(IsChecked(wizard.Control(kOptionBoxes[2])));
    wizard.Click(kNext);
    ASSERT_TRUE(wizard.WaitForPage(L"ConfigurationsPageBTClassic"));
    wizard.Click(kNext);
    EXPECT_TRUE(wizard.WaitForPage(L"FinishPageDLM"));
}

TEST(BtPages, EveryTextComesFromTheStringTable) {
    WizardProcess wizard(TaggedWizardPath(L"TessarySetupBt", kNoOffers));
    ASSERT_TRUE(wizard.WaitForPage(L"LanguagePageBT"));
    EXPECT_EQ(TemplateTexts(wizard.PageWindow(L"LanguagePageBT")), std::vector<std::wstring>{});
    wizard.Click(kNext);
    const std::pair<const wchar_t*, int> walk[] = {{L"WarningPageBTClassic", kNext},
                                                   {L"LicensePage", kAgree},
                                                   {L"OptionsPageBTClassic", kNext},
                                                   {L"ConfigurationsPageBTClassic", kNext}};
    for (const auto& [page, onwards] : walk) {
        ASSERT_TRUE(wizard.WaitForPage(page));
        EXPECT_EQ(TemplateTexts(wizard.PageWindow(page)), std::vector<std::wstring>{}) << page;
        wizard.Click(onwards);
    }
    EXPECT_TRUE(wizard.WaitForPage(L"FinishPageDLM"));
    EXPECT_EQ(TemplateTexts(wizard.PageWindow(L"FinishPageDLM")), std::vector<std::wstring>{});
}

}  // namespace
}  // namespace tessary::e2e
