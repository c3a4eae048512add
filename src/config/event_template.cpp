// The event template of a Package: the signed request's body with the package's own fields, which
// every report of the package starts from.
#include <nlohmann/json.hpp>

#include "config/configuration_manager.h"
#include "config/package.h"
#include "platform/ports.h"

namespace tessary {
namespace {

using json = nlohmann::json;

// The request body carries the configuration texts in ANSI code pages; the template takes them as
// UTF-8 instead, so titles and values outside ASCII arrive as written. A text the system cannot
// convert arrives empty, as in the request body.
void PutConfigurationTextsAsUtf8(json& event) {
    const auto config = ConfigurationManager::GetInstance();
    const std::pair<const char*, const std::wstring*> texts[] = {
        {"3", &config->m_brand},      {"4", &config->m_clientId},  {"7", &config->m_version},
        {"19", &config->m_configCfl}, {"21", &config->m_configCh}, {"22", &config->m_productTitle},
    };
    for (const auto& [key, text] : texts) {
        event[key] = platform::Text().ToNarrow(platform::CodePage::Utf8, *text).ValueOr(std::string());
    }
}

}  // namespace

void Package::BuildEventTemplate() {
    json event = m_request.Body();
    PutConfigurationTextsAsUtf8(event);
    if (m_isMainProduct) {
        event["5"] = event["22"];
        event["10"] = 1;
        event["18"] = "";
    } else {
        event["5"] = m_offerId;
        event["10"] = 2;
        event["16"] = m_psC;
        event["17"] = std::to_string(m_index + 1);
        event["18"] = m_adF;
    }
    m_eventTemplate = std::move(event);
}

}  // namespace tessary
