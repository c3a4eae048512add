#include <nlohmann/json.hpp>

#include "endpoints.h"
#include "file_utils.h"
#include "http_helpers.h"

namespace tessary::service {
namespace {

// The members every configuration request carries, all strings.
constexpr const char* kRequestMembers[] = {"a", "i", "l", "o", "plv", "prv", "s", "u"};

// Empty when the body is a well-formed request, else why not.
std::string FindRequestFault(const nlohmann::json& request) {
    if (request.is_discarded()) return "body is not JSON";
    if (!request.is_object()) return "body is not a JSON object";
    for (const char* member : kRequestMembers) {
        const auto found = request.find(member);
        if (found == request.end()) return std::string("missing member \"") + member + "\"";
        if (!found->is_string()) return std::string("member \"") + member + "\" is not a string";
    }
    return {};
}

}  // namespace

void ConfigEndpoint::Handle(const httplib::Request& request, httplib::Response& response) {
    ConfigRequestRecord record;
    record.received = UtcTimestamp();
    record.headers = HeadersJson(request);
    record.body = request.body;

    const auto parsed = nlohmann::json::parse(request.body, nullptr, false);
    if (const auto fault = FindRequestFault(parsed); !fault.empty()) {
        record.status = 400;
        m_store.AddConfigRequest(record);
        Refuse(request, response, fault);
        return;
    }
    record.tag = parsed["u"].get<std::string>();
    const auto answer = m_documents.Choose(record.tag);
    record.document = answer.document;
    record.status = answer.status;
    m_store.AddConfigRequest(record);

    LogLine("POST /o tag \"" + record.tag + "\": " + answer.document + ", status " + std::to_string(answer.status));
    response.status = answer.status;
    response.set_content(answer.body, "application/json");
}

}  // namespace tessary::service
