#include "config/signed_request.h"

#include "config/configuration_manager.h"
#include "encoding/digests.h"
#include "encoding/os_version.h"
#include "platform/ports.h"

namespace tessary {
namespace {

constexpr int kTemplateKeyCount = 23;  // "0" to "22" exist from the start, empty

// A text the system cannot convert goes out empty: the event is still worth more than its field.
std::string Narrow(platform::CodePage page, const std::wstring& text) {
    return platform::Text().ToNarrow(page, text).ValueOr(std::string());
}

}  // namespace

SignedRequest::SignedRequest() : SignedRequest(*ConfigurationManager::GetInstance()) {}

SignedRequest::SignedRequest(ConfigurationManager& config) : m_body(nlohmann::json::object()) {
    using platform::CodePage;
    for (int key = 0; key < kTemplateKeyCount; ++key) m_body[std::to_string(key)] = "";

    const std::string machineId = config.GetMachineId();
    const std::string sessionTimestamp = config.GetSessionTimestamp();
    m_body["1"] = machineId;
    m_body["2"] = sessionTimestamp;
    m_body["3"] = Narrow(CodePage::FileSystem, config.m_brand);
    m_body["4"] = Narrow(CodePage::FileSystem, config.m_clientId);
    m_body["7"] = Narrow(CodePage::FileSystem, config.m_version);
    m_body["15"] = 0;
    m_body["19"] = Narrow(CodePage::FileSystem, config.m_configCfl);
    m_body["21"] = Narrow(CodePage::ThreadAnsi, config.m_configCh);
    m_body["22"] = Narrow(CodePage::ThreadAnsi, config.m_productTitle);
    m_body["31"] = OsVersionString();
    // A system that cannot tell says "0", as one that is not WOW64 does.
    m_body["38"] = platform::System().IsWow64().ValueOr(false) ? "1" : "0";

    // Both inputs are fixed for the run, so every request of a run carries the same signature.
    // When the platform's crypto fails there is no signature to send, and none made up either:
    // the headers stay empty and every event of this request is dropped.
    const auto signature = Sha256Hex(machineId + sessionTimestamp);
    if (!signature) {
        platform::ReportFailure("Signing the event reports", signature.GetStatus());
        return;
    }
    // Hexadecimal digits are ASCII: widened one by one, with no conversion that could fail.
    m_headers.emplace_back(L"Authorization", L"Signature=" + std::wstring(signature->begin(), signature->end()));
}

}  // namespace tessary
