// Building a Package: the offer constructor reads the document in a fixed order, because each
// text can only use the placeholders inserted before it.
#include "config/package.h"

#include <exception>

#include "config/configuration_manager.h"
#include "config/json_reading.h"
#include "encoding/base62.h"
#include "encoding/digests.h"
#include "encoding/text_conversion.h"
#include "platform/ports.h"

namespace tessary {
namespace {

using json = nlohmann::json;

// A name or tag the system cannot convert is left empty: the package and its events go on without it.
std::string ToUtf8(const std::wstring& text) {
    return platform::Text().ToNarrow(platform::CodePage::Utf8, text).ValueOr(std::string());
}

std::vector<std::wstring> OptionalWideStrings(const json& object, const char* key) {
    std::vector<std::wstring> wide;
    for (const auto& text : OptionalStrings(object, key)) wide.push_back(Utf8ToWide(text));
    return wide;
}

// File rules may name folders through the path placeholders ({commonpf}, {localappdata}, ...).
std::vector<std::wstring> OptionalPaths(const json& object, const char* key, const PlaceholderTable& folders) {
    std::vector<std::wstring> paths = OptionalWideStrings(object, key);
    for (auto& path : paths) path = ExpandBracedPlaceholders(std::move(path), folders);
    return paths;
}

std::vector<MinDaysRule> OptionalMinDaysRules(const json& ps) {
    std::vector<MinDaysRule> rules;
    const json* list = FindMember(ps, "cmdu");
    if (!list) return rules;
    for (const auto& element : list->get_ref<const json::array_t&>()) {
        MinDaysRule rule;
        rule.utr = Utf8ToWide(RequiredString(element, "utr"));
        rule.utk = Utf8ToWide(RequiredString(element, "utk"));
        rule.utvn = Utf8ToWide(RequiredString(element, "utvn"));
        rule.utvt = Utf8ToWide(RequiredString(element, "utvt"));
        rule.umd = ReadInteger(element.at("umd"));
        rule.utms = OptionalBool(element, "utms");
        rules.push_back(std::move(rule));
    }
    return rules;
}

// "major.minor" of the running system, the key a partner's "pnrp" object is looked up with.
std::string MajorMinorVersion() {
    const auto version = platform::System().GetOsVersion();
    if (!version) return {};
    return std::to_string(version->major) + "." + std::to_string(version->minor);
}

std::string SelectPartnerParameter(const json& ps) {
    const json* choices = FindMember(ps, "pnrp");
    if (!choices || !choices->is_object()) return {};
    const std::string version = MajorMinorVersion();
    if (const json* match = FindMember(*choices, version.c_str())) return match->get<std::string>();
    if (const json* fallback = FindMember(*choices, "default")) return fallback->get<std::string>();
    return {};
}

}  // namespace

Package::Package(const SignedRequest& request, const json& offer, bool isMainProduct, const std::string& psC,
                 int index)
    : m_request(request), m_isMainProduct(isMainProduct), m_psC(psC), m_index(index) {
    InsertSessionPlaceholders();

    const json& ad = offer.at("ad");
    m_adF = RequiredString(ad, "f");
    m_offerId = RequiredString(ad, "o");

    const auto config = ConfigurationManager::GetInstance();
    std::string pxl;
    try {
        pxl = Base62Encode(config->GetMachineId() + "|" + m_offerId + "|" + config->GetSessionTimestamp());
    } catch (const std::exception&) {
        // The tracking value is optional; the offer stands without it.
    }
    m_placeholders.Insert("pxl", std::move(pxl));
    m_placeholders.Insert("of", m_adF);

    const json& ps = offer.at("ps");
    ReadDescription(ps);
    ReadRules(ps);
    BuildEventTemplate();
}

Package::Package(const SignedRequest& request, bool isMainProduct, std::string displayName, std::string offerId,
                 std::string adF, std::string psC, int index)
    : m_request(request),
      m_isMainProduct(isMainProduct),
      m_displayName(std::move(displayName)),
      m_offerId(std::move(offerId)),
      m_adF(std::move(adF)),
      m_psC(std::move(psC)),
      m_index(index) {
    BuildEventTemplate();
}

Package::Package(const SignedRequest& request, bool isMainProduct, const std::wstring& displayName,
                 const std::wstring& offerId, const std::wstring& adF, const std::wstring& psC, int index)
    : Package(request, isMainProduct, ToUtf8(displayName), ToUtf8(offerId), ToUtf8(adF), ToUtf8(psC), index) {}

void Package::UpdateMainProduct(const SignedRequest& request, const std::wstring& offerId, const std::wstring& cfl,
                                const std::wstring& title, const std::wstring& ch) {
    // The main product's first event may still be on its way and reads the request and the
    // template; both change under the event lock.
    std::lock_guard lock(m_eventMutex);
    m_request = request;
    m_isMainProduct = true;
    m_index = 0;
    m_displayName = ToUtf8(title);
    m_offerId = ToUtf8(offerId);
    m_adF = ToUtf8(cfl);
    m_psC = ToUtf8(ch);
    BuildEventTemplate();
}

std::string Package::ExpandPlaceholders(const std::string& text) const {
    return ExpandBracedPlaceholders(text, m_placeholders);
}

void Package::InsertSessionPlaceholders() {
    const auto config = ConfigurationManager::GetInstance();
    const auto insertIfSet = [this](const char* key, std::string value) {
        if (!value.empty()) m_placeholders.Insert(key, std::move(value));
    };
    insertIfSet("userid", config->GetMachineId());
    insertIfSet("sessionid", config->GetSessionTimestamp());
    insertIfSet("cc", config->m_countryCode);
    insertIfSet("pubid", config->m_publisherId);
    insertIfSet("ispb", config->m_ispb);
    m_placeholders.Insert("aflt", CountryToAffiliateId(config->m_countryCode));
    if (!config->m_brand.empty()) m_placeholders.Insert("account_md5", Md5Hex(config->m_brand));
}

std::string Package::ReadExpanded(const json& ps, const char* key, std::string fallback) {
    const json* member = FindMember(ps, key);
    return member ? ExpandPlaceholders(member->get<std::string>()) : std::move(fallback);
}

void Package::ReadDescription(const json& ps) {
    m_imageName = ExpandPlaceholders(RequiredString(ps, "i"));
    m_displayName = ExpandPlaceholders(RequiredString(ps, "dn"));
    m_downloadUrl = ExpandPlaceholders(RequiredString(ps, "u"));
    ReadPartnerBlock(ps);
    m_installerArguments = ReadExpanded(ps, "p");
    m_privacyUrl = ReadExpanded(ps, "cp");
    m_termsUrl = ReadExpanded(ps, "ctu");
}

void Package::ReadRules(const json& ps) {
    m_vertical = OptionalInteger(ps, "v", 0);
    m_exclusive = OptionalBool(ps, "exc");
    m_psC = ReadExpanded(ps, "c", m_psC);
    m_diskRequirement = OptionalInteger64(ps, "disk", 0);
    m_ramRequirement = OptionalInteger64(ps, "ram", 0);
    m_cpuRequirement = OptionalInteger64(ps, "cpu", 0);
    m_osRequirement = OptionalInteger(ps, "ov", 0);
    m_platformRequirement = OptionalString(ps, "pv");
    m_requires64Bit = OptionalBool(ps, "win64");
    if (const json* preset = FindMember(ps, "x")) ApplyPreset(ReadInteger(*preset));

    const PlaceholderTable folders = ConfigurationManager::GetInstance()->GetPathPlaceholders();
    m_filesMustNotExist = OptionalPaths(ps, "fe", folders);
    m_filesOneMustExist = OptionalPaths(ps, "ife", folders);
    m_runningApps = OptionalStrings(ps, "a");
    m_registryKeysMustNotExist = OptionalWideStrings(ps, "r");
    m_registryKeysOneMustExist = OptionalWideStrings(ps, "ir");
    m_registryValues = OptionalWideStrings(ps, "rvn");
    m_registryValueData = OptionalWideStrings(ps, "rvd");
    m_minDaysRules = OptionalMinDaysRules(ps);
    m_eapp = OptionalWideStrings(ps, "eapp");
    m_iapp = OptionalWideStrings(ps, "iapp");
}

// Presets stand for the requirement sets of common offer kinds and win over explicit values.
void Package::ApplyPreset(int preset) {
    switch (preset) {
        case 1:
            m_diskRequirement = 2500;
            m_ramRequirement = 250;
            break;
        case 2:
            m_requiresChrome = true;
            m_checkIeVersion = true;
            break;
        case 3:
            m_diskRequirement = 512;
            m_ramRequirement = 1536;
            m_cpuRequirement = 1500;
            break;
        case 10:
            m_requires64Bit = true;
            break;
        case 12:
            m_requiresChrome = true;
            break;
        case 13:
            m_requiresNoChrome = true;
            break;
        default:
            break;
    }
}

void Package::ReadPartnerBlock(const json& ps) {
    m_pnEnabled = OptionalBool(ps, "pn");
    if (!m_pnEnabled) return;
    m_pnApiUrl = OptionalString(ps, "pnau");
    m_pnApiKey = OptionalString(ps, "pnak");
    m_pnRegistryValue = ReadExpanded(ps, "pnr");
    m_pnOp = OptionalString(ps, "pnop");
    m_pnSi = OptionalBool(ps, "pnsi");
    m_pnLa = OptionalString(ps, "la");
    std::string partnerParameter = SelectPartnerParameter(ps);
    m_pnStubParams = ReadExpanded(ps, "sp");

    const auto config = ConfigurationManager::GetInstance();
    m_placeholders.Insert("pnrparam", std::move(partnerParameter));
    m_placeholders.Insert("pnstubparams", m_pnStubParams);
    m_placeholders.Insert("pnapiurl", m_pnApiUrl);
    m_placeholders.Insert("pnapikey", m_pnApiKey);
    m_placeholders.Insert("pnop", m_pnOp);
    m_placeholders.Insert("account", ToUtf8(config->m_brand));
    m_placeholders.Insert("installer", ToUtf8(config->m_clientId));
    m_placeholders.Insert("pnsid", config->GetTimestampMs());
    ReadFlowSettings(ps);
}

void Package::ReadFlowSettings(const json& ps) {
    const json* flow = FindMember(ps, "cfs");
    if (!flow) return;
    m_flowMb = OptionalInteger(*flow, "mb", kUnlimited);
    m_flowAb = OptionalStrings(*flow, "ab");
    m_flowMa = OptionalInteger(*flow, "ma", kUnlimited);
    m_flowAa = OptionalStrings(*flow, "aa");
    m_flowMo = OptionalInteger(*flow, "mo", kUnlimited);
    m_skipAllAfterDecline = OptionalBool(*flow, "saad");
    m_skipIfDeclinedBefore = OptionalBool(*flow, "sied");
}

}  // namespace tessary
