#pragma once
#include <map>
#include <memory>
#include <string>
#include <vector>

#include <tinyxml2.h>

#include "i18n/language_list.h"
#include "i18n/localized_view.h"
#include "i18n/reference_expansion.h"

namespace tessary {

class ConfigurationManager;

// The string table of the chosen locale resource, and the list of languages the wizard offers.
// Used on the interface thread only.
class LanguageManager {
public:
    explicit LanguageManager(std::shared_ptr<ConfigurationManager> config);

    // The LOCALE resources of this wizard flavour, in the order the language list shows them.
    std::vector<int> GetLanguageResourceIds();
    // Lists one entry per readable resource and preselects the user's language.
    void FillLanguages(LanguageList& list);
    // Loads the language shown as display, rebuilds the table and refreshes every view.
    bool SelectLanguage(const std::wstring& display);
    // Empty when the key is missing or its value is empty.
    std::wstring GetText(const std::string& key) const;

    bool LoadLocaleXml(int id, tinyxml2::XMLDocument& document);
    bool LoadStrings(tinyxml2::XMLDocument& document);
    void AddSupplementaryStrings();
    void ExpandReferences();
    std::wstring GetLanguageDisplayName(const std::wstring& localeName) const;

    void RegisterPage(LocalizedView* page);
    void UnregisterPage(LocalizedView* page);

    std::map<std::wstring, int> m_resourceIds;           // display name → resource number
    std::map<std::wstring, std::wstring> m_localeNames;  // display name → locale name
    std::vector<LocalizedView*> m_pages;                 // not owned
    StringTable m_strings;

private:
    std::shared_ptr<ConfigurationManager> m_config;
};

}  // namespace tessary
