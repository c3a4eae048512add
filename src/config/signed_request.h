#pragma once
#include <nlohmann/json.hpp>

#include "platform/http_port.h"

namespace tessary {

class ConfigurationManager;

// The envelope every event report travels in: the event body template and the header list that
// carries the run's signature.
class SignedRequest {
public:
    // Builds both from the process-wide configuration as it stands now. Never throws for a
    // failing hash: it is built on the user-interface thread, and an unsigned request is only
    // ever dropped (see IsSigned).
    SignedRequest();
    // The same from a given configuration.
    explicit SignedRequest(ConfigurationManager& config);

    const nlohmann::json& Body() const { return m_body; }
    const platform::HeaderList& Headers() const { return m_headers; }
    // False when the platform could not compute the signature. The header list is then empty
    // and the request must not go out: the service would take it for a forged one.
    bool IsSigned() const { return !m_headers.empty(); }

private:
    nlohmann::json m_body;
    platform::HeaderList m_headers;
};

}  // namespace tessary
