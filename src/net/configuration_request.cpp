#include "net/configuration_request.h"

#include "config/configuration_manager.h"
#include "encoding/os_version.h"
#include "platform/ports.h"

namespace tessary {
namespace {

constexpr std::size_t kTagLength = 7;

// A text the system cannot convert goes out empty: the service answers with its default
// configuration rather than none at all.
std::string Narrow(platform::CodePage page, const std::wstring& text) {
    return platform::Text().ToNarrow(page, text).ValueOr(std::string());
}

std::string ThreadAnsi(const std::wstring& text) { return Narrow(platform::CodePage::ThreadAnsi, text); }

// The language part of a locale name such as "en-US".
std::wstring LanguageCode(const std::wstring& localeName) {
    std::wstring code = localeName.substr(0, 2);
    for (wchar_t& c : code) {
        if (c >= L'A' && c <= L'Z') c = static_cast<wchar_t>(c - L'A' + L'a');
    }
    return code;
}

}  // namespace

std::wstring FileNameTag(const std::wstring& modulePath) {
    const auto underscore = modulePath.rfind(L'_');
    if (underscore == std::wstring::npos) return {};
    std::wstring tag = modulePath.substr(underscore + 1);
    const auto dot = tag.rfind(L'.');
    if (dot != std::wstring::npos) tag.resize(dot);
    if (tag.size() != kTagLength || tag.find(L'-') == std::wstring::npos) return {};
    return tag;
}

nlohmann::json BuildConfigurationRequest(const ConfigurationManager& config) {
    // Without the program's own path there is no tag to send; the request goes out without one.
    const std::wstring tag = FileNameTag(platform::Module().GetModuleFileName().ValueOr(std::wstring()));
    return {
        {"prv", "0.1"},
        {"plv", ThreadAnsi(config.m_version)},
        {"l", ThreadAnsi(LanguageCode(config.m_localeName))},
        {"a", ThreadAnsi(config.m_brand)},
        {"i", ThreadAnsi(config.m_clientId)},
        {"s", ThreadAnsi(config.m_sourceId)},
        {"u", Narrow(platform::CodePage::FileSystem, tag)},
        {"o", OsVersionString()},
    };
}

}  // namespace tessary
