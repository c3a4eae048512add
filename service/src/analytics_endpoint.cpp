#include <algorithm>
#include <nlohmann/json.hpp>
#include <string_view>

#include "endpoints.h"
#include "file_utils.h"
#include "http_helpers.h"

namespace tessary::service {
namespace {

constexpr std::string_view kSignaturePrefix = "Signature=";

// The wizard signs with a lowercase hexadecimal SHA-256 digest; anything else is a client fault
// worth refusing loudly rather than storing.
bool IsSignatureHeader(const std::string& value) {
    if (!value.starts_with(kSignaturePrefix)) return false;
    const std::string_view digest = std::string_view(value).substr(kSignaturePrefix.size());
    return digest.size() == 64 && std::all_of(digest.begin(), digest.end(), [](char c) {
               return (c >= '0' && c <= '9') || (c >= 'a' && c <= 'f');
           });
}

std::string MemberText(const nlohmann::json& object, const char* key) {
    const auto found = object.find(key);
    return found == object.end() ? std::string() : FieldText(*found);
}

}  // namespace

void AnalyticsEndpoint::Handle(const httplib::Request& request, httplib::Response& response) {
    const std::string authorization = request.get_header_value("Authorization");
    if (!IsSignatureHeader(authorization)) {
        Refuse(request, response, "Authorization is not \"Signature=\" and 64 lowercase hex digits");
        return;
    }
    const auto body = nlohmann::json::parse(request.body, nullptr, false);
    if (body.is_discarded() || !body.is_object()) {
        Refuse(request, response, "body is not a JSON object");
        return;
    }
    const auto data = body.find("data");
    const auto table = body.find("table");
    if (data == body.end() || !data->is_string() || table == body.end() || !table->is_string()) {
        Refuse(request, response, "body needs the strings \"data\" and \"table\"");
        return;
    }
    const auto event = nlohmann::json::parse(data->get<std::string>(), nullptr, false);
    if (event.is_discarded() || !event.is_object()) {
        Refuse(request, response, "\"data\" is not a serialised JSON object");
        return;
    }

    EventRecord record{UtcTimestamp(),         authorization, table->get<std::string>(), data->get<std::string>(),
                       MemberText(event, "6"), MemberText(event, "5")};
    m_store.AddEvent(record, event);
    LogLine("POST /zbd event " + record.code + " for \"" + record.package + "\"");
    response.status = 200;
    response.set_content("{}", "application/json");
}

}  // namespace tessary::service
