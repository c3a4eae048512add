#include "config/configuration_document.h"

#include "config/configuration_manager.h"
#include "config/json_reading.h"
#include "config/signed_request.h"
#include "config/wizard_type.h"
#include "encoding/file_names.h"
#include "encoding/text_conversion.h"

namespace tessary {
namespace {

using json = nlohmann::json;

// Offers are switched off for a run by this "ch" value.
constexpr wchar_t kNoOffersChannel[] = L"00xA";

// The document is UTF-8 and its product texts are shown to the user and named in file paths, so
// they are decoded as UTF-8.
std::wstring OptionalWide(const json& object, const char* key, std::wstring fallback = {}) {
    const json* member = FindMember(object, key);
    return member ? Utf8ToWide(member->get<std::string>()) : std::move(fallback);
}

// Returns false when the title or the URL is empty.
bool ReadProduct(const json& product, ConfigurationManager& config) {
    config.m_productTitle = Utf8ToWide(RequiredString(product, "ct"));
    config.m_productUrl = Utf8ToWide(RequiredString(product, "cu"));
    if (config.m_productTitle.empty() || config.m_productUrl.empty()) return false;
    config.m_productImageUrl = OptionalWide(product, "cl");
    // Without "cf" the name is made from the title, which is display text and may hold separators.
    config.m_productFileName = OptionalWide(product, "cf", FileNameFromTitle(config.m_productTitle) + L".exe");
    config.m_productPrivacyUrl = OptionalWide(product, "cp");
    config.m_productTermsUrl = OptionalWide(product, "ctu");
    config.m_configCh = OptionalWide(product, "ch");
    config.m_configCfl = OptionalWide(product, "cfl");
    config.m_ispb = OptionalString(product, "cb");
    return true;
}

std::vector<std::shared_ptr<Package>> ReadOffers(const json& offers, const OfferJudge& check,
                                                 ConfigurationManager& config) {
    std::vector<std::shared_ptr<Package>> accepted;
    for (const json& element : offers.get_ref<const json::array_t&>()) {
        // Each package gets a request of its own that reflects the configuration read so far.
        auto package = std::make_shared<Package>(SignedRequest(config), element, false, std::string(),
                                                 static_cast<int>(accepted.size()));
        const OfferVerdict verdict = check(package, accepted);
        if (verdict.keep) {
            accepted.push_back(package);
            ++config.m_offerCount;
            if (package->m_exclusive) break;
        }
        if (verdict.stop) break;
    }
    return accepted;
}

}  // namespace

LoadedConfiguration LoadConfigurationDocument(const json& document, const OfferJudgeFactory& makeChecker) {
    const auto configPointer = ConfigurationManager::GetInstance();
    ConfigurationManager& config = *configPointer;
    const bool isObject = document.is_object();

    if (isObject) {
        if (const json* country = FindMember(document, "l")) config.m_countryCode = country->get<std::string>();
    }
    if (config.m_wizardType == static_cast<int>(WizardType::Dlm) && !ReadProduct(document.at("i"), config)) {
        return {true, {}};
    }
    if (!isObject) return {};

    const json* publisher = FindMember(document, "f");
    if (publisher && publisher->is_object()) {
        if (const json* id = FindMember(*publisher, "a")) config.m_publisherId = id->get<std::string>();
    }
    const json* offers = FindMember(document, "o");
    if (!offers || config.m_configCh == kNoOffersChannel) return {};
    config.m_maxOffers = ReadInteger(document.at("f").at("m"));
    return {false, ReadOffers(*offers, makeChecker(config.m_maxOffers), config)};
}

}  // namespace tessary
