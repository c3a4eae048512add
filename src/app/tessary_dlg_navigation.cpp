// The host's pages: creating them in the frame, moving between them, the error page.
#include "app/tessary_dlg.h"
#include "config/configuration_manager.h"
#include "config/package.h"
#include "config/signed_request.h"
#include "config/wizard_type.h"
#include "pages/configurations_page.h"
#include "pages/download_page.h"
#include "pages/error_page.h"
#include "pages/finish_page_dlm.h"
#include "pages/finish_page_isv.h"
#include "pages/language_page.h"
#include "pages/license_page.h"
#include "pages/loading_page.h"
#include "pages/options_page.h"
#include "pages/product_page.h"
#include "pages/warning_page.h"
#include "pages/welcome_page.h"
#include "platform/ports.h"
#include "resource.h"

namespace tessary {
namespace {

bool IsDownloadPage(const std::wstring& name) { return name == L"DownloadPageDLM" || name == L"DownloadPageISV"; }
bool IsFinishPage(const std::wstring& name) { return name == L"FinishPageDLM" || name == L"FinishPageISV"; }

// The main product's identifier: the client for the installer flavour, the product itself for
// the download flavour once its configuration is known.
std::wstring MainProductIdentifier(const ConfigurationManager& config, bool configurationLoaded) {
    if (config.m_wizardType == static_cast<int>(WizardType::Isv)) return config.m_clientId;
    if (configurationLoaded && config.m_wizardType == static_cast<int>(WizardType::Dlm)) return config.m_productTitle;
    return {};
}

// The content pages follow the pages made at start-up (the language page and the loading page),
// which Back from the first of them passes over.
unsigned FirstContentPage(std::size_t initialPageCount) { return static_cast<unsigned>(initialPageCount); }

// The pages the configuration brings, in the order the wizard walks them.
void AppendContentPages(CTessaryDlg& dialog, const std::shared_ptr<LanguageManager>& languageManager,
                        const ConfigurationManager& config, const std::vector<std::shared_ptr<Package>>& offers,
                        const RECT& rectangle) {
    const HWND host = dialog.GetSafeHwnd();
    if (config.m_btVariant) {
        if (config.m_btClassicOptions) {
            dialog.CreateAndAddPage(std::make_unique<WarningPageBTClassic>(languageManager, host), rectangle);
        }
        dialog.CreateAndAddPage(std::make_unique<LicensePageIsv>(languageManager, host), rectangle);
    } else {
        dialog.CreateAndAddPage(std::make_unique<WelcomePageIsv>(languageManager, host), rectangle);
    }
    for (const auto& offer : offers) {
        dialog.CreateAndAddPage(std::make_unique<ProductPage>(languageManager, offer, host), rectangle);
    }
    if (config.m_btClassicOptions) {
        dialog.CreateAndAddPage(std::make_unique<OptionsPageBTClassic>(languageManager, host), rectangle);
        dialog.CreateAndAddPage(std::make_unique<ConfigurationsPageBTClassic>(languageManager, host), rectangle);
    }
    if (config.m_wizardType == static_cast<int>(WizardType::Dlm)) {
        dialog.CreateAndAddPage(std::make_unique<DownloadPageDlm>(languageManager, host), rectangle);
        dialog.CreateAndAddPage(std::make_unique<FinishPageDlm>(languageManager, host), rectangle);
    } else if (config.m_wizardType == static_cast<int>(WizardType::Isv)) {
        auto download = std::make_unique<DownloadPageIsv>(languageManager, host);
        download->m_onInstallerStarted = [&dialog] { dialog.SetInstallerRunning(true); };
        download->m_onInstallerFinished = [&dialog] { dialog.SetInstallerRunning(false); };
        dialog.CreateAndAddPage(std::move(download), rectangle);
        dialog.CreateAndAddPage(std::make_unique<FinishPageIsv>(languageManager, host), rectangle);
    }
}

}  // namespace

RECT CTessaryDlg::PageRectangle() const {
    RECT frame{};
    ::GetWindowRect(GetItem(IDC_PAGE_FRAME), &frame);
    ::MapWindowPoints(nullptr, GetSafeHwnd(), reinterpret_cast<POINT*>(&frame), 2);
    return frame;
}

bool CTessaryDlg::CreateInitialPages() {
    const RECT rectangle = PageRectangle();
    const auto config = ConfigurationManager::GetInstance();
    m_errorPage = std::make_unique<ErrorPage>(m_languageManager, GetSafeHwnd());
    CreatePage(*m_errorPage, rectangle);
    if (config->m_btVariant) {
        CreateAndAddPage(std::make_unique<LanguagePageBT>(m_languageManager, GetSafeHwnd()), rectangle);
    } else {
        CreateAndAddPage(std::make_unique<LanguagePage>(m_languageManager, GetSafeHwnd()), rectangle);
    }
    auto loading = std::make_unique<LoadingPage>(m_languageManager, GetSafeHwnd());
    const HWND host = GetSafeHwnd();
    loading->m_onPackagesReady = [this, host](std::vector<std::shared_ptr<Package>> offers) {
        StoreLoadedOffers(std::move(offers));
        ::PostMessageW(host, WM_TESSARY_LOAD_COMPLETE, 0, 0);
    };
    CreateAndAddPage(std::move(loading), rectangle);
    m_initialPageCount = m_pages.size();
    m_currentPage = 0;
    if (m_pages.empty()) return false;
    ::ShowWindow(m_pages[0]->GetSafeHwnd(), SW_SHOW);
    ::SetFocus(m_pages[0]->GetSafeHwnd());
    return true;
}

void CTessaryDlg::CreatePage(IPage& page, const RECT& rectangle) {
    page.CreateModeless();
    const HWND hwnd = page.GetSafeHwnd();
    page.SetBackgroundColor(ConfigurationManager::GetInstance()->m_backgroundColor, true);
    page.SetButtonCallback([this, &page](ButtonType type) {
        // A click queued behind the one that moved on (a double click, an Enter) answers a page
        // that is gone from view; it must not answer again.
        if (!IsAnsweringPage(page)) {
            platform::WriteDiagnostic(platform::DiagnosticTarget::Debugger, "Button of a page no longer shown ignored");
            return;
        }
        OnButton(type);
    });
    ::ShowWindow(hwnd, SW_HIDE);
    ::SetWindowPos(hwnd, nullptr, rectangle.left, rectangle.top, rectangle.right - rectangle.left,
                   rectangle.bottom - rectangle.top, SWP_NOZORDER | SWP_NOACTIVATE);
    // A child page shows no caption; its window text names it for anyone inspecting the windows.
    ::SetWindowTextW(hwnd, page.GetName().c_str());
}

void CTessaryDlg::CreateAndAddPage(std::unique_ptr<IPage> page, const RECT& rectangle) {
    CreatePage(*page, rectangle);
    page->SetErrorCallback([this](const std::wstring& title, const std::wstring& text) { ShowErrorPage(title, text); });
    m_pages.push_back(std::move(page));
}

bool CTessaryDlg::IsAnsweringPage(const IPage& page) const {
    if (&page == m_errorPage.get()) return m_errorShown;
    return !m_errorShown && m_currentPage < m_pages.size() && m_pages[m_currentPage].get() == &page;
}

void CTessaryDlg::StoreLoadedOffers(std::vector<std::shared_ptr<Package>> offers) {
    std::lock_guard lock(m_loadedOffersMutex);
    m_loadedOffers = std::move(offers);
}

// The main product is made, and event 1 reported, once per run, however often the user comes
// back to the language page.
void CTessaryDlg::CreateMainPackage() {
    auto config = ConfigurationManager::GetInstance();
    if (config->m_mainPackage) return;
    config->m_mainPackage =
        std::make_shared<Package>(SignedRequest(), true, config->m_productTitle, MainProductIdentifier(*config, false),
                                  config->m_configCfl, config->m_configCh, 0);
    config->m_mainPackage->ReportEvent(1, nullptr);
}

void CTessaryDlg::OnButton(ButtonType type) {
    switch (type) {
        case ButtonType::Next:
            if (m_currentPage == 0) {
                if (m_skipLoadingPage) {
                    GoToPage(FirstContentPage(m_initialPageCount));
                    return;
                }
                CreateMainPackage();
            }
            GoToPage(m_currentPage + 1);
            break;
        case ButtonType::Accept:
            AnswerOffer(OfferAnswer::Accept);
            break;
        case ButtonType::Decline:
            AnswerOffer(OfferAnswer::Decline);
            break;
        case ButtonType::SkipAll:
            AnswerOffer(OfferAnswer::SkipAll);
            break;
        // The outcomes reported just before (the offers started, the product that failed) must
        // not be lost with the process; the window is gone while they are waited for.
        case ButtonType::Close:
            ::ShowWindow(GetSafeHwnd(), SW_HIDE);
            AwaitPendingReports();
            EndDialog(1);
            break;
        case ButtonType::Finish:
            ::ShowWindow(GetSafeHwnd(), SW_HIDE);
            CleanupTempFolder();
            AwaitPendingReports();
            EndDialog(1);
            break;
        case ButtonType::Back:
            m_skipLoadingPage = true;
            GoToPage(m_currentPage == FirstContentPage(m_initialPageCount) ? 0 : m_currentPage - 1);
            break;
    }
}

// The offer flow decides how many of the offer pages ahead are passed over; the host reports them
// and moves past them.
void CTessaryDlg::AnswerOffer(OfferAnswer answer) {
    const OfferFlowStep step = m_offerFlow.Answer(answer, OfferPagesAhead(), *ConfigurationManager::GetInstance());
    ReportPassedOverOffers(step);
    GoToPage(m_currentPage + 1 + static_cast<unsigned>(step.skipCount));
}

// The offer pages that directly follow the current page.
std::size_t CTessaryDlg::OfferPagesAhead() const {
    std::size_t count = 0;
    while (m_currentPage + 1 + count < m_pages.size() &&
           m_pages[m_currentPage + 1 + count]->GetName() == L"ProductPage") {
        ++count;
    }
    return count;
}

void CTessaryDlg::GoToPage(unsigned index) {
    if (index >= m_pages.size()) return;
    IPage& page = *m_pages[index];
    ::ShowWindow(page.GetSafeHwnd(), SW_SHOW);
    ::SetFocus(page.GetSafeHwnd());
    if (m_currentPage < m_pages.size() && m_currentPage != index) {
        ::ShowWindow(m_pages[m_currentPage]->GetSafeHwnd(), SW_HIDE);
    }
    m_currentPage = index;
    page.OnNavigateToPage();

    const std::wstring name = page.GetName();
    const HMENU systemMenu = ::GetSystemMenu(GetSafeHwnd(), FALSE);
    if (IsDownloadPage(name)) {
        // The window cannot be closed while the download runs.
        ::DeleteMenu(systemMenu, SC_CLOSE, MF_BYCOMMAND);
    } else if (IsFinishPage(name)) {
        AppendCloseToSystemMenu();
    }
    // The line names the page; a name that cannot be converted still marks the navigation.
    platform::WriteDiagnostic(platform::DiagnosticTarget::Debugger,
                              platform::Text().ToNarrow(platform::CodePage::Utf8, name).ValueOr(std::string()));
}

void CTessaryDlg::AppendCloseToSystemMenu() {
    ::AppendMenuW(::GetSystemMenu(GetSafeHwnd(), FALSE), MF_STRING, SC_CLOSE, L"Close");
}

void CTessaryDlg::ShowErrorPage(const std::wstring& title, const std::wstring& text) {
    if (m_currentPage < m_pages.size()) ::ShowWindow(m_pages[m_currentPage]->GetSafeHwnd(), SW_HIDE);
    auto& errorPage = static_cast<ErrorPage&>(*m_errorPage);
    errorPage.m_title = title;
    errorPage.UpdateData();
    errorPage.m_text = text;
    errorPage.UpdateData();
    ::ShowWindow(errorPage.GetSafeHwnd(), SW_SHOW);
    ::SetFocus(errorPage.GetSafeHwnd());
    m_errorShown = true;
    AppendCloseToSystemMenu();
}

LRESULT CTessaryDlg::OnLoadCompleteMessage(WPARAM, LPARAM) {
    // The content pages are built once; the message again changes nothing.
    if (m_contentPagesBuilt) {
        platform::WriteDiagnostic(platform::DiagnosticTarget::Debugger, "Configuration loaded again; ignored");
        return 0;
    }
    // The error page ends the wizard's way forward; an answer that comes after it shows nothing.
    if (m_errorShown) {
        platform::WriteDiagnostic(platform::DiagnosticTarget::Debugger, "Configuration loaded after an error; ignored");
        return 0;
    }
    auto config = ConfigurationManager::GetInstance();
    m_languageManager->SelectLanguage(config->m_languageName);
    if (config->m_wizardType == static_cast<int>(WizardType::Dlm)) {
        m_productIcon.SetImage(config->m_productImage);
        ::ShowWindow(m_productIcon.GetSafeHwnd(), SW_SHOW);
        ::SetWindowTextW(m_titleText, config->m_productTitle.c_str());
        ::ShowWindow(m_titleText, SW_SHOW);
        ::SetWindowTextW(GetSafeHwnd(), (config->m_productTitle + L" Setup").c_str());
    }
    if (config->m_mainPackage) {
        config->m_mainPackage->UpdateMainProduct(SignedRequest(), MainProductIdentifier(*config, true),
                                                 config->m_configCfl, config->m_productTitle, config->m_configCh);
    }
    {
        std::lock_guard lock(m_loadedOffersMutex);
        m_offerFlow = OfferFlow(std::move(m_loadedOffers));
        m_loadedOffers.clear();
    }
    m_contentPagesBuilt = true;
    AppendContentPages(*this, m_languageManager, *config, m_offerFlow.m_offers, PageRectangle());
    // Leaves the page the configuration was loaded on for the first content page.
    OnButton(ButtonType::Next);
    return 0;
}

}  // namespace tessary
