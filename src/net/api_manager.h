#pragma once
#include <atomic>
#include <memory>

#include <nlohmann/json.hpp>

namespace tessary {

class ConfigurationManager;

// The client of the remote service. It holds no state; there is one per process.
class ApiManager {
public:
    static std::shared_ptr<ApiManager> GetInstance();

    // Asks the configuration endpoint what this run offers, from the process-wide configuration
    // or a given one. Throws TessaryException when the service cannot be reached or answers
    // nothing, and the JSON library's parse error when the answer is not JSON.
    std::unique_ptr<nlohmann::json> RequestConfiguration() const;
    std::unique_ptr<nlohmann::json> RequestConfiguration(const ConfigurationManager& config) const;

    // Set once when the user confirms exit: a pause between attempts ends at once and no further
    // attempt starts, so the request never keeps the wizard from ending.
    std::atomic<bool> m_cancelRequested{false};

private:
    void PauseAfterFailure() const;
};

}  // namespace tessary
