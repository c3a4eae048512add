#include "pages/loading_page.h"

#include <chrono>
#include <future>
#include <stdexcept>

#include "config/configuration_manager.h"
#include "config/wizard_type.h"
#include "net/api_manager.h"
#include "net/image_fetch.h"
#include "offers/offer_judge.h"
#include "platform/detached_thread.h"
#include "platform/diagnostics.h"
#include "resource.h"
#include "ui/progress_bar.h"

namespace tessary {
namespace {

constexpr PageDefinition kPage{L"LoadingPage", IDD_LOADING_PAGE, {}};
constexpr UINT kMarqueeStepMs = 30;

// The worker's whole task: the request, the document's values in their order, the offer checks.
LoadedConfiguration LoadRemoteConfiguration() {
    const auto document = ApiManager::GetInstance()->RequestConfiguration();
    const auto config = ConfigurationManager::GetInstance();
    return LoadConfigurationDocument(*document, CheckOffersOnThisMachine(*config));
}

}  // namespace

LoadingPage::LoadingPage(std::shared_ptr<LanguageManager> languageManager, HWND parent)
    : CallbackPage(std::move(languageManager), parent, kPage) {}

LoadingPage::~LoadingPage() { StopWorkers(); }

void LoadingPage::StopWorkers() {
    if (m_worker) m_worker->Revoke();
    if (m_images) m_images->Revoke();
}

BOOL LoadingPage::OnInitDialog() {
    m_progress = GetItem(IDC_PROGRESS);
    return TRUE;
}

void LoadingPage::OnNavigateToPage() {
    ui::StartMarquee(m_progress, kMarqueeStepMs);

    // A new task replaces the last one, whose answer no longer reaches the page.
    StopWorkers();
    auto token = std::make_shared<ui::WindowToken>(GetSafeHwnd());
    auto promise = std::make_shared<std::promise<LoadedConfiguration>>();
    m_worker = token;
    m_result = promise->get_future();
    // A thread of its own, not a future that waits for it: closing the wizard never waits for
    // the request. The future carries the task's exception to the page.
    const auto task = [token, promise] {
        try {
            promise->set_value(LoadRemoteConfiguration());
        } catch (...) {
            promise->set_exception(std::current_exception());
        }
        token->Post(WM_TESSARY_REQUEST_COMPLETE, 0, 0);
    };
    if (!platform::StartDetachedThread(task)) {
        // No thread to be had: the failure reaches the page like any other.
        promise->set_exception(std::make_exception_ptr(std::runtime_error("no thread for the configuration request")));
        token->Post(WM_TESSARY_REQUEST_COMPLETE, 0, 0);
    }
}

bool LoadingPage::OnMessage(UINT message, WPARAM wParam, LPARAM lParam, LRESULT& result) {
    if (message != WM_TESSARY_REQUEST_COMPLETE) return CallbackPage::OnMessage(message, wParam, lParam, result);
    result = OnRequestComplete(wParam, lParam);
    return true;
}

LRESULT LoadingPage::OnRequestComplete(WPARAM, LPARAM) {
    // Only the answer of the task under way counts; a repeated message finds none, and a stray one
    // that comes before the answer must not block the window until the request is over.
    if (!m_result.valid() || m_result.wait_for(std::chrono::seconds(0)) != std::future_status::ready) {
        platform::WriteDiagnostic(platform::DiagnosticTarget::Debugger, "LoadingPage: no configuration awaited");
        return 0;
    }
    const auto config = ConfigurationManager::GetInstance();
    const bool downloadFlavour = config->m_wizardType == static_cast<int>(WizardType::Dlm);
    std::vector<std::shared_ptr<Package>> packages;
    try {
        LoadedConfiguration loaded = m_result.get();
        if (loaded.productMissing) {
            ShowConfigurationError();
            return 0;
        }
        packages = std::move(loaded.offers);
    } catch (...) {
        platform::ReportCurrentException("configuration request");
        if (downloadFlavour) {
            ShowConfigurationError();
            return 0;
        }
        // The installer flavour installs its product without offers.
    }
    m_images = ImageFetch::Start(std::move(packages), downloadFlavour ? config->m_productImageUrl : std::wstring(),
                                 m_onPackagesReady);
    return 0;
}

void LoadingPage::ShowConfigurationError() {
    if (!m_onError) return;
    switch (static_cast<WizardType>(ConfigurationManager::GetInstance()->m_wizardType)) {
        case WizardType::Dlm:
            m_onError(m_languageManager->GetText("PAGE_CONFIGURATION_ERROR_TITLE"),
                      m_languageManager->GetText("PAGE_CONFIGURATION_ERROR_DESC"));
            break;
        case WizardType::Isv:
            m_onError(m_languageManager->GetText("PAGE_ERROR_TITLE"), std::wstring());
            break;
        case WizardType::Unknown:
            m_onError(std::wstring(), std::wstring());
            break;
        default:
            break;
    }
}

}  // namespace tessary
