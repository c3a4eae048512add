#include "i18n/language_manager.h"

#include <algorithm>
#include <optional>

#include "config/configuration_manager.h"
#include "config/wizard_type.h"
#include "platform/ports.h"

namespace tessary {
namespace {

constexpr int kBtSupplementId = 120;

void ShowPlainMessage(const std::wstring& text) { platform::Ui().ShowMessage(text, std::nullopt, platform::kMbOk); }

std::wstring FromUtf8(std::string_view text) {
    return platform::Text().ToWide(platform::CodePage::Utf8, text).ValueOr(std::wstring());
}

void ShowParseFailure(std::string_view reason) {
    ShowPlainMessage(L"Failed to parse language xml file, error code: " + FromUtf8(reason));
}

// An entry's value is the text of its first child that is not a comment; comments in front of
// the text are allowed, anything else there means the entry has no text.
const char* EntryText(const tinyxml2::XMLElement& element) {
    const tinyxml2::XMLNode* child = element.FirstChild();
    while (child != nullptr && child->ToComment() != nullptr) child = child->NextSibling();
    if (child == nullptr || child->ToText() == nullptr) return nullptr;
    return child->Value();
}

}  // namespace

LanguageManager::LanguageManager(std::shared_ptr<ConfigurationManager> config) : m_config(std::move(config)) {}

std::vector<int> LanguageManager::GetLanguageResourceIds() {
    switch (m_config->m_wizardType) {
    case static_cast<int>(WizardType::Dlm): {
        std::vector<int> ids;
        for (int id = 105; id <= 118; ++id) ids.push_back(id);
        return ids;
    }
    case static_cast<int>(WizardType::Isv):
        return {101, 102};
    default:
        ShowPlainMessage(L"Unknown wizard type (language manager");
        return {};
    }
}

void LanguageManager::FillLanguages(LanguageList& list) {
    const std::vector<int> ids = GetLanguageResourceIds();
    m_resourceIds.clear();
    m_localeNames.clear();
    list.Reset();

    const auto userLocale = platform::Locale().GetUserDefaultLocaleName();
    const std::wstring wanted = userLocale ? GetLanguageDisplayName(*userLocale) : L"English";

    int selection = 0;
    for (const int id : ids) {
        tinyxml2::XMLDocument document;
        if (!LoadLocaleXml(id, document)) continue;
        const tinyxml2::XMLElement* locale = document.FirstChildElement("Locale");
        if (locale == nullptr) continue;
        const char* name = locale->Attribute("name");
        if (name == nullptr) {
            ShowParseFailure("No name attribute");
            continue;
        }
        const std::wstring localeName = FromUtf8(name);
        const std::wstring display = GetLanguageDisplayName(localeName);
        // A later match wins, so of two resources for one language the last one is preselected.
        if (display == wanted) selection = list.Count();
        list.Add(display);
        m_resourceIds[display] = id;
        m_localeNames[display] = localeName;
    }

    list.Select(selection);
    if (m_config->m_btVariant) list.Hide();
}

bool LanguageManager::SelectLanguage(const std::wstring& display) {
    const auto id = m_resourceIds.find(display);
    if (id == m_resourceIds.end()) return false;
    tinyxml2::XMLDocument document;
    if (!LoadLocaleXml(id->second, document)) return false;
    // A partial table is still better than none: the views show what could be read.
    LoadStrings(document);

    for (LocalizedView* page : m_pages) page->UpdateTexts();

    m_config->m_languageName = display;
    const auto localeName = m_localeNames.find(display);
    m_config->m_localeName = localeName != m_localeNames.end() ? localeName->second : std::wstring();
    return true;
}

std::wstring LanguageManager::GetText(const std::string& key) const {
    const auto found = m_strings.find(key);
    if (found == m_strings.end() || found->second.empty()) return {};
    std::wstring text = FromUtf8(found->second);
    text.resize(std::min(text.size(), text.find(L'\0')));
    return text;
}

bool LanguageManager::LoadLocaleXml(int id, tinyxml2::XMLDocument& document) {
    const auto resource = platform::Module().LoadResource(id, L"LOCALE");
    if (resource.NotFound()) {
        ShowPlainMessage(L"Failed to find resource with id: " + std::to_wstring(id));
        return false;
    }
    if (!resource) {
        ShowPlainMessage(L"Failed to load resource with id: " + std::to_wstring(id));
        return false;
    }

    // The resource is not terminated; parse it as a C string so that a resource that is empty
    // or starts with a zero byte counts as an empty document.
    std::string text(resource->begin(), resource->end());
    if (document.Parse(text.c_str()) != tinyxml2::XML_SUCCESS) {
        ShowParseFailure(document.ErrorStr());
        return false;
    }
    return true;
}

bool LanguageManager::LoadStrings(tinyxml2::XMLDocument& document) {
    const tinyxml2::XMLElement* locale = document.FirstChildElement("Locale");
    if (locale == nullptr) {
        ShowParseFailure("No Locale element");
        return false;
    }

    m_strings.clear();
    // A title the system cannot convert is shown as no title, as an unset one is.
    m_strings["PRODUCT_TITLE"] =
        platform::Text().ToNarrow(platform::CodePage::Utf8, m_config->m_productTitle).ValueOr(std::string());
    AddSupplementaryStrings();

    for (auto* entry = locale->FirstChildElement(); entry != nullptr; entry = entry->NextSiblingElement()) {
        const char* key = entry->Name();
        const char* value = EntryText(*entry);
        if (key == nullptr || value == nullptr) {
            ShowParseFailure("No name or text attribute");
            return false;
        }
        m_strings[key] = value;
    }

    ExpandReferences();
    return true;
}

void LanguageManager::AddSupplementaryStrings() {
    if (!m_config->m_btVariant) return;
    tinyxml2::XMLDocument document;
    if (!LoadLocaleXml(kBtSupplementId, document)) return;
    // The supplement has no Locale wrapper: every top-level element is an entry.
    for (auto* entry = document.FirstChildElement(); entry != nullptr; entry = entry->NextSiblingElement()) {
        if (const char* value = EntryText(*entry)) m_strings[entry->Name()] = value;
    }
}

void LanguageManager::ExpandReferences() {
    for (auto& [key, value] : m_strings) value = ExpandValue(value, m_strings);
}

std::wstring LanguageManager::GetLanguageDisplayName(const std::wstring& localeName) const {
    auto& locale = platform::Locale();
    if (auto native = locale.GetNativeLanguageName(localeName)) return *native;
    // "pt_BR" is not a name Windows knows; its language part is.
    if (localeName.size() > 2) {
        if (auto native = locale.GetNativeLanguageName(localeName.substr(0, 2))) return *native;
    }
    return localeName;
}

void LanguageManager::RegisterPage(LocalizedView* page) { m_pages.push_back(page); }

void LanguageManager::UnregisterPage(LocalizedView* page) { std::erase(m_pages, page); }

}  // namespace tessary
