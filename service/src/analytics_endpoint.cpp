#include <openssl/evp.h>

#include <algorithm>
#include <nlohmann/json.hpp>
#include <string_view>

#include "endpoints.h"
#include "file_utils.h"
#include "http_helpers.h"
#include "status_file.h"

namespace tessary::service {
namespace {

constexpr std::string_view kSignaturePrefix = "Signature=";
constexpr std::string_view kTable = "zb_analytics";

// The wizard signs with a lowercase hexadecimal SHA-256 digest; anything else is a client fault
// worth refusing loudly rather than storing.
bool IsSignatureHeader(const std::string& value) {
    if (!value.starts_with(kSignaturePrefix)) return false;
    const std::string_view digest = std::string_view(value).substr(kSignaturePrefix.size());
    return digest.size() == 64 && std::all_of(digest.begin(), digest.end(),
                                              [](char c) { return (c >= '0' && c <= '9') || (c >= 'a' && c <= 'f'); });
}

std::string MemberText(const nlohmann::json& object, const char* key) {
    const auto found = object.find(key);
    return found == object.end() ? std::string() : FieldText(*found);
}

std::string Sha256Hex(const std::string& bytes) {
    unsigned char digest[EVP_MAX_MD_SIZE];
    unsigned int size = 0;
    if (EVP_Digest(bytes.data(), bytes.size(), digest, &size, EVP_sha256(), nullptr) != 1) {
        throw std::runtime_error("SHA-256 failed");
    }
    static constexpr char kDigits[] = "0123456789abcdef";
    std::string hex;
    for (unsigned int i = 0; i < size; ++i) {
        hex.push_back(kDigits[digest[i] >> 4]);
        hex.push_back(kDigits[digest[i] & 0x0F]);
    }
    return hex;
}

}  // namespace

std::string EventSignature(const nlohmann::json& event) {
    const auto machine = event.find("1");
    const auto session = event.find("2");
    if (machine == event.end() || !machine->is_string() || session == event.end() || !session->is_string()) return {};
    return std::string(kSignaturePrefix) + Sha256Hex(machine->get<std::string>() + session->get<std::string>());
}

AnalyticsEndpoint::AnalyticsEndpoint(RecordStore& store, std::filesystem::path statusFile)
    : m_store(store), m_statusFile(std::move(statusFile)) {}

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
    if (*table != kTable) {
        Refuse(request, response, "\"table\" is not \"" + std::string(kTable) + "\"");
        return;
    }
    const auto event = nlohmann::json::parse(data->get<std::string>(), nullptr, false);
    if (event.is_discarded() || !event.is_object()) {
        Refuse(request, response, "\"data\" is not a serialised JSON object");
        return;
    }
    // The signature is the digest of the event's own machine identifier and session: one that does
    // not match them was made from something else.
    if (EventSignature(event) != authorization) {
        Refuse(request, response, "the signature is not SHA-256 of the event's members \"1\" and \"2\"");
        return;
    }

    EventRecord record{
        UtcTimestamp(),         authorization,          table->get<std::string>(), data->get<std::string>(),
        MemberText(event, "6"), MemberText(event, "5"), HeadersJson(request),      NextStatus()};
    m_store.AddEvent(record, event);
    LogLine("POST /zbd event " + record.code + " for \"" + record.package + "\", status " +
            std::to_string(record.status));
    response.status = record.status;
    response.set_content("{}", "application/json");
}

int AnalyticsEndpoint::NextStatus() {
    const auto statuses = ReadStatuses(m_statusFile);
    std::lock_guard lock(m_mutex);
    return StatusInTurn(statuses, m_eventsAnswered++);
}

}  // namespace tessary::service
