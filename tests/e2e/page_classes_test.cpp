// The pages' own logic, run in this process on a window of its own: what they store and what
// they start, which the real wizard keeps to itself until later pages read it.
#include <gtest/gtest.h>
#include <windows.h>
#include <commctrl.h>

#include <utility>
#include <vector>

#include "config/configuration_manager.h"
#include "configuration_guard.h"
#include "pages/configurations_page.h"
#include "pages/finish_page_dlm.h"
#include "pages/finish_page_isv.h"
#include "pages/license_page.h"
#include "pages/options_page.h"
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

}  // namespace
}  // namespace tessary::e2e
