// The pages' own logic, run in this process on a window of its own: what they store and what
// they start, which the real wizard keeps to itself until later pages read it.
#include <gtest/gtest.h>
#include <windows.h>
#include <commctrl.h>

#include <algorithm>
#include <utility>
#include <vector>

#include "config/configuration_manager.h"
#include "config/package.h"
#include "configuration_guard.h"
#include "fake_http.h"
#include "pages/configurations_page.h"
#include "pages/download_page.h"
#include "pages/finish_page_dlm.h"
#include "pages/finish_page_isv.h"
#include "pages/license_page.h"
#include "pages/options_page.h"
#include "pages/product_page.h"
#include "platform/win32/win32_ports.h"
#include "ui/window_text.h"
#include "wizard_steps.h"

namespace tessary::e2e {
namespace {

class PageClasses : public ::testing::Test {
protected:
    static void SetUpTestSuite() {
        win32::InstallWin32Ports();
        INITCOMMONCONTROLSEX controls{sizeof(INITCOMMONCONTROLSEX), ICC_WIN95_CLASSES | ICC_LINK_CLASS};
        ::InitCommonControlsEx(&controls);
        s_richEdit.Reset(::LoadLibraryW(L"riched20.dll"));
    }
    static void TearDownTestSuite() {
        // The configuration made a run folder for this process, as it does for the wizard.
        ::RemoveDirectoryW(ConfigurationManager::GetInstance()->m_tempFolder.c_str());
        s_richEdit.Reset();
    }

    void SetUp() override {
        m_host = ::CreateWindowExW(0, L"STATIC", L"host", WS_OVERLAPPEDWINDOW, 0, 0, 700, 500, nullptr, nullptr,
                                   nullptr, nullptr);
        m_languageManager = std::make_shared<LanguageManager>(m_config);
        m_languageManager->m_resourceIds[L"English"] = 105;
        m_languageManager->SelectLanguage(L"English");
    }
    void TearDown() override { ::DestroyWindow(m_host); }

    template <typename Page, typename... Extra>
    std::unique_ptr<Page> Make(Extra&&... extra) {
        auto page = std::make_unique<Page>(m_languageManager, m_host, std::forward<Extra>(extra)...);
        EXPECT_TRUE(page->CreateModeless());
        page->SetButtonCallback([this](ButtonType type) { m_buttons.push_back(type); });
        return page;
    }

    static void Press(IPage& page, int id) {
        ::SendMessageW(page.GetSafeHwnd(), WM_COMMAND, MAKEWPARAM(id, BN_CLICKED),
                       reinterpret_cast<LPARAM>(page.GetItem(id)));
    }
    static void Tick(IPage& page, int id, bool ticked) {
        ::SendMessageW(page.GetItem(id), BM_SETCHECK, ticked ? BST_CHECKED : BST_UNCHECKED, 0);
    }

    using Launch = std::pair<std::wstring, std::wstring>;
    Launcher Recorder() {
        return [this](const std::wstring& file, const std::wstring& parameters) {
            m_launches.emplace_back(file, parameters);
        };
    }

    static inline win32::ModuleHandle s_richEdit;
    std::shared_ptr<ConfigurationManager> m_config = ConfigurationManager::GetInstance();
    HWND m_host = nullptr;
    std::shared_ptr<LanguageManager> m_languageManager;
    std::vector<ButtonType> m_buttons;
    tessary::testing::ConfigurationGuard m_savedConfiguration;  // whatever a page stores is put back
    std::vector<Launch> m_launches;
};

TEST_F(PageClasses, OptionsAreStoredOnNextOnly) {
    auto page = Make<OptionsPageBTClassic>();
    m_config->m_options = {false, false, false};
    Tick(*page, kOptionBoxes[1], false);
    EXPECT_EQ(m_config->m_options, (std::array<bool, 3>{false, false, false}));

    Press(*page, kNext);
    EXPECT_EQ(m_config->m_options, (std::array<bool, 3>{true, false, true}));
    EXPECT_EQ(m_buttons, std::vector<ButtonType>{ButtonType::Next});
}

TEST_F(PageClasses, ABoxInTheThirdStateCountsAsTickedAndATickReportsNothing) {
    auto page = Make<OptionsPageBTClassic>();
    ::SendMessageW(page->GetItem(kOptionBoxes[0]), BM_SETCHECK, BST_INDETERMINATE, 0);
    Tick(*page, kOptionBoxes[2], false);
    Press(*page, kOptionBoxes[2]);
    EXPECT_TRUE(m_buttons.empty());

    Press(*page, kNext);
    EXPECT_EQ(m_config->m_options, (std::array<bool, 3>{true, true, false}));
    EXPECT_EQ(m_buttons, std::vector<ButtonType>{ButtonType::Next});
}

TEST_F(PageClasses, ConfigurationsAreStoredInTheirOrderOnNextAndBackKeepsTheEarlierOnes) {
    auto page = Make<ConfigurationsPageBTClassic>();
    for (const int box : kConfigurationBoxes) EXPECT_EQ(::SendMessageW(page->GetItem(box), BM_GETCHECK, 0, 0), 1);
    m_config->m_configurations = {true, true, true, true, true};
    Tick(*page, kConfigurationBoxes[0], false);  // the box whose label is a static of its own
    Tick(*page, kConfigurationBoxes[3], false);

    Press(*page, kBack);
    EXPECT_EQ(m_config->m_configurations, (std::array<bool, 5>{true, true, true, true, true}));
    Press(*page, kNext);
    EXPECT_EQ(m_config->m_configurations, (std::array<bool, 5>{false, true, true, false, true}));
    EXPECT_EQ(m_buttons, (std::vector<ButtonType>{ButtonType::Back, ButtonType::Next}));
}

TEST_F(PageClasses, DownloadFinishStartsTheFileOrShowsItInItsFolderAndThenFinishes) {
    auto page = Make<FinishPageDlm>(Recorder());
    m_config->m_downloadedPath = L"C:\\Users\\me\\Downloads\\Veloran Setup.exe";

    Press(*page, kFinish);
    Tick(*page, kLaunchRadio, false);
    Tick(*page, kOpenFolderRadio, true);
    Press(*page, kFinish);
    Tick(*page, kOpenFolderRadio, false);
    Press(*page, kFinish);

    EXPECT_EQ(m_launches, (std::vector<Launch>{
                              {L"C:\\Users\\me\\Downloads\\Veloran Setup.exe", L""},
                              {L"explorer.exe", L"/select,\"C:\\Users\\me\\Downloads\\Veloran Setup.exe\""},
                          }));
    EXPECT_EQ(m_buttons, std::vector<ButtonType>(3, ButtonType::Finish));
}

// The two messages of a transfer as the bar shows them: a share sets the position and ends a
// marquee the unknown length started; a value past 100 only makes the bar move, and a share
// after it leaves it moving.
TEST_F(PageClasses, TheDownloadBarShowsSharesAndMovesWhereThereIsNone) {
    auto page = Make<DownloadPageDlm>();
    const HWND bar = page->GetItem(kProgressBar);
    const auto marquee = [&] { return (::GetWindowLongW(bar, GWL_STYLE) & PBS_MARQUEE) != 0; };
    const auto send = [&](UINT message, WPARAM value) { ::SendMessageW(page->GetSafeHwnd(), message, value, 0); };
    constexpr UINT kShare = WM_USER + 1;
    constexpr UINT kLengthUnknown = WM_USER + 2;

    send(kShare, 29);
    EXPECT_EQ(::SendMessageW(bar, PBM_GETPOS, 0, 0), 29);
    EXPECT_FALSE(marquee());
    send(kLengthUnknown, 0);
    EXPECT_TRUE(marquee());
    send(kShare, 40);
    EXPECT_FALSE(marquee());
    EXPECT_EQ(::SendMessageW(bar, PBM_GETPOS, 0, 0), 40);

    send(kShare, 250);
    EXPECT_TRUE(marquee());
    send(kShare, 60);
    EXPECT_TRUE(marquee()) << "only a marquee of an unknown length ends with a share";
}

TEST_F(PageClasses, InstallerFinishStartsTheProductAtItsExpandedPathOnlyWhenTicked) {
    auto page = Make<FinishPageIsv>(Recorder());
    m_config->m_launchTarget = L"{commonpf}\\Veloran\\Veloran.exe";
    m_config->m_launchParameters = L"/from {commonpf} {unknown}";

    Press(*page, kFinish);
    Tick(*page, kLaunchCheckbox, false);
    Press(*page, kFinish);

    // Where {commonpf} leads depends on the process's width; the finish tests of the real wizard
    // pin it down.
    ASSERT_EQ(m_launches.size(), 1u);
    const auto& [file, parameters] = m_launches[0];
    EXPECT_EQ(file.find(L'{'), std::wstring::npos) << file;
    EXPECT_TRUE(file.ends_with(L"\\Veloran\\Veloran.exe")) << file;
    EXPECT_EQ(parameters, L"/from {commonpf} {unknown}");
    EXPECT_EQ(m_buttons, std::vector<ButtonType>(2, ButtonType::Finish));
}

TEST_F(PageClasses, LicenseLinksLeadToTheProductsAddressesInEveryLanguage) {
    m_languageManager->m_strings["LICENSE_DISCLAIMER"] =
        "<a href=\"[LICENSE_TOS_URL]\">Terms</a>, <a href=\"[LICENSE_PRIVACY_URL]\">Privacy</a> "
        "and <a href=\"[LICENSE_TOS_URL]\">Terms</a>";
    m_config->m_productTermsUrl = L"https://veloran.example/terms";
    m_config->m_productPrivacyUrl = L"";
    auto page = Make<LicensePageIsv>();
    const std::wstring filled =
        L"<a href=\"https://veloran.example/terms\">Terms</a>, <a href=\"\">Privacy</a> "
        L"and <a href=\"https://veloran.example/terms\">Terms</a>";
    EXPECT_EQ(ui::GetWindowTextString(page->GetItem(kLicenseDisclaimer)), filled);

    // A language applied again brings its placeholders back; the addresses must follow.
    page->UpdateTexts();
    EXPECT_EQ(ui::GetWindowTextString(page->GetItem(kLicenseDisclaimer)), filled);
}

// Offer pages, with the events they report caught on their way to the service.
class ProductPages : public PageClasses {
protected:
    void SetUp() override {
        PageClasses::SetUp();
        auto ports = platform::CurrentPorts();
        ports.http = m_http;
        m_previousPorts = platform::InstallPorts(ports);
        m_config->m_acceptedPackages.clear();
        m_config->m_shownPackages.clear();
        m_config->m_offerDeclined = false;
    }
    void TearDown() override {
        for (const auto& offer : m_offers) offer->WaitForPendingEvents();
        platform::InstallPorts(m_previousPorts);
        PageClasses::TearDown();
    }

    std::shared_ptr<Package> Offer(const std::string& id, int index, nlohmann::json ps = nlohmann::json::object()) {
        ps["i"] = "offer.png";
        ps["u"] = "offer.exe";
        if (!ps.contains("dn")) ps["dn"] = "Atlas";
        const nlohmann::json offer = {{"ad", {{"o", id}, {"f", "f"}}}, {"ps", ps}};
        m_offers.push_back(std::make_shared<Package>(SignedRequest(), offer, false, "", index));
        return m_offers.back();
    }
    // The events the pages reported, as (offer, code).
    std::vector<std::pair<std::string, std::string>> Events() {
        for (const auto& offer : m_offers) offer->WaitForPendingEvents();
        std::vector<std::pair<std::string, std::string>> events;
        for (const auto& call : m_http->Calls()) {
            const auto event = nlohmann::json::parse(nlohmann::json::parse(call.body).at("data").get<std::string>());
            events.emplace_back(event.at("5").get<std::string>(), event.at("6").get<std::string>());
        }
        return events;
    }
    // The button's own visibility; the test's host window is never shown.
    std::unique_ptr<ProductPage> MakePage(std::shared_ptr<Package> offer) {
        auto page = std::make_unique<ProductPage>(m_languageManager, std::move(offer), m_host);
        EXPECT_TRUE(page->CreateModeless());
        page->SetButtonCallback([this](ButtonType type) { m_buttons.push_back(type); });
        return page;
    }
    static bool SkipAllShown(const IPage& page) {
        return (::GetWindowLongPtrW(page.GetItem(kSkipAll), GWL_STYLE) & WS_VISIBLE) != 0;
    }

    std::shared_ptr<tessary::testing::FakeHttp> m_http = std::make_shared<tessary::testing::FakeHttp>();
    platform::Ports m_previousPorts;
    std::vector<std::shared_ptr<Package>> m_offers;
};

TEST_F(ProductPages, AcceptOnTheOnlyOfferRecordsItOnceAndReportsNothing) {
    m_config->m_offerCount = 1;
    auto page = MakePage(Offer("only", 0));
    EXPECT_FALSE(SkipAllShown(*page));
    page->OnNavigateToPage();
    Press(*page, kAccept);
    // A second click queued behind the first answers nothing.
    Press(*page, kAccept);
    Press(*page, kDecline);

    EXPECT_EQ(m_config->m_shownPackages, m_offers);
    EXPECT_EQ(m_config->m_acceptedPackages, m_offers);
    EXPECT_FALSE(m_config->m_offerDeclined);
    EXPECT_EQ(m_buttons, std::vector<ButtonType>{ButtonType::Accept});
    EXPECT_TRUE(Events().empty());
}

TEST_F(ProductPages, DeclineAndSkipAllReportTheRefusalAndMarkTheRunDeclined) {
    m_config->m_offerCount = 3;
    auto first = MakePage(Offer("first", 0));
    auto second = MakePage(Offer("second", 1));
    for (const auto* page : {first.get(), second.get()}) EXPECT_TRUE(SkipAllShown(*page));
    first->OnNavigateToPage();
    Press(*first, kDecline);
    EXPECT_TRUE(m_config->m_offerDeclined);
    second->OnNavigateToPage();
    Press(*second, kSkipAll);

    EXPECT_EQ(m_config->m_shownPackages, m_offers);
    EXPECT_TRUE(m_config->m_acceptedPackages.empty());
    EXPECT_EQ(m_buttons, (std::vector<ButtonType>{ButtonType::Decline, ButtonType::SkipAll}));
    auto events = Events();
    std::sort(events.begin(), events.end());
    EXPECT_EQ(events, (std::vector<std::pair<std::string, std::string>>{{"first", "4"}, {"second", "4"}}));
}

TEST_F(ProductPages, SkipAllIsHiddenWhereTheOffersOwnMaximumEndsTheFlow) {
    m_config->m_offerCount = 4;
    auto limited = MakePage(Offer("limited", 1, {{"pn", true}, {"cfs", {{"mo", 2}}}}));
    auto plain = MakePage(Offer("plain", 2));
    EXPECT_FALSE(SkipAllShown(*limited));
    EXPECT_TRUE(SkipAllShown(*plain));
}

TEST_F(ProductPages, TheDisclaimerNamesTheOfferAndIsFilledAgainInEveryLanguage) {
    m_config->m_offerCount = 1;
    auto page = MakePage(Offer("named", 0, {{"dn", "Atlas [PACKAGE_NAME] <b>"}, {"ctu", "https://atlas.test/terms"}}));
    const std::wstring filled =
        L"When you click \"Accept\", you agree to the installation of \"Atlas [PACKAGE_NAME] \u2039b\u203A\" and "
        L"that you have read the <a href=\"\">Privacy Policy</a> and agree to the terms of its "
        L"<a href=\"https://atlas.test/terms\">End User License Agreement</a>. Check \"Add/Remove Programs\" to "
        L"uninstall.";
    EXPECT_EQ(ui::GetWindowTextString(page->GetItem(kDisclaimer)), filled);
    EXPECT_EQ(ui::GetWindowTextString(page->GetItem(kAccept)), L"Accept");
    EXPECT_EQ(ui::GetWindowTextString(page->GetItem(kSkipAll)), L"Skip All");

    // A language applied again brings its placeholders back; the offer's values must follow.
    m_languageManager->SelectLanguage(L"English");
    EXPECT_EQ(ui::GetWindowTextString(page->GetItem(kDisclaimer)), filled);
}

}  // namespace
}  // namespace tessary::e2e
