#include "net/api_manager.h"

#include <cstdio>
#include <mutex>

#include "config/configuration_manager.h"
#include "net/configuration_request.h"
#include "net/post_json.h"
#include "net/tessary_exception.h"
#include "platform/ports.h"

namespace tessary {
namespace {

constexpr int kAttempts = 3;
constexpr unsigned kPauseAfterFailureMs = 5000;
constexpr unsigned kPauseStepMs = 100;  // how long a confirmed exit may wait for the pause to notice it

bool IsSuccess(unsigned long status) { return status >= 200 && status <= 399; }

}  // namespace

std::shared_ptr<ApiManager> ApiManager::GetInstance() {
    static std::once_flag once;
    static std::shared_ptr<ApiManager> instance;
    std::call_once(once, [] { instance = std::make_shared<ApiManager>(); });
    return instance;
}

std::unique_ptr<nlohmann::json> ApiManager::RequestConfiguration() const {
    return RequestConfiguration(*ConfigurationManager::GetInstance());
}

std::unique_ptr<nlohmann::json> ApiManager::RequestConfiguration(const ConfigurationManager& config) const {
    if (config.m_configUrl.empty()) throw TessaryException("No configuration URL");
    // A file name or locale outside UTF-8 must not keep the request from going out.
    const std::string body =
        BuildConfigurationRequest(config).dump(-1, ' ', false, nlohmann::json::error_handler_t::replace);

    std::string response;
    platform::HttpAnswer answer;
    for (int attempt = 0; attempt < kAttempts && !m_cancelRequested; ++attempt) {
        // Each answer stands alone: what a failed attempt received is not glued to the next one.
        response.clear();
        answer = PostJson(config.m_configUrl, body, {}, response);
        if (IsSuccess(answer.status)) break;
        char line[96] = {};
        std::snprintf(line, sizeof line, "Failed to send config request. %d %d", static_cast<int>(answer.status),
                      static_cast<int>(answer.lastError));
        platform::WriteDiagnostic(platform::DiagnosticTarget::StandardOutput, line);
        PauseAfterFailure();
    }

    // The last answer's status goes with the failure: an empty 500 is a refusal, an empty 200 not.
    if (response.empty()) throw TessaryException("The configuration answer is empty", answer);
    auto document = nlohmann::json::parse(response, nullptr, true, false);
    if (document.is_discarded()) throw TessaryException("The configuration answer is not JSON", answer);
    return std::make_unique<nlohmann::json>(std::move(document));
}

void ApiManager::PauseAfterFailure() const {
    for (unsigned waited = 0; waited < kPauseAfterFailureMs && !m_cancelRequested; waited += kPauseStepMs) {
        platform::Clock().SleepMs(kPauseStepMs);
    }
}

}  // namespace tessary
