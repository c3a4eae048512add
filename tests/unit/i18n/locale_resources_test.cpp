// The shipped locale files: the keys each flavour relies on, and translations that keep every
// reference, placeholder and link of their English twin.
#include <gtest/gtest.h>
#include <tinyxml2.h>

#include <filesystem>
#include <fstream>
#include <iterator>
#include <map>
#include <regex>
#include <set>

namespace {

struct LocaleFile {
    std::string raw;
    std::string name;                            // the Locale element's name attribute
    std::map<std::string, std::string> entries;  // key → text
    int duplicates = 0;
};

std::filesystem::path FileOf(int id) {
    for (const auto& entry : std::filesystem::directory_iterator(TESSARY_LOCALE_DIR)) {
        if (entry.path().filename().string().rfind(std::to_string(id) + "_", 0) == 0) return entry.path();
    }
    return {};
}

LocaleFile Load(int id) {
    LocaleFile file;
    std::ifstream in(FileOf(id), std::ios::binary);
    file.raw.assign(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
    tinyxml2::XMLDocument document;
    if (document.Parse(file.raw.c_str()) != tinyxml2::XML_SUCCESS) return file;
    const auto* locale = document.FirstChildElement("Locale");
    if (locale == nullptr) return file;
    file.name = locale->Attribute("name") ? locale->Attribute("name") : "";
    for (auto* entry = locale->FirstChildElement(); entry != nullptr; entry = entry->NextSiblingElement()) {
        if (!file.entries.emplace(entry->Name(), entry->GetText() ? entry->GetText() : "").second) ++file.duplicates;
    }
    return file;
}

std::set<std::string> Keys(const LocaleFile& file) {
    std::set<std::string> keys;
    for (const auto& [key, text] : file.entries) keys.insert(key);
    return keys;
}

// What a translator must carry over unchanged.
std::multiset<std::string> Markers(const std::string& text) {
    static const std::regex marker(R"(\{[A-Z_]+\}|\[[A-Z_]+\]|\$percent\$|<a href="\[[A-Z_]+\]">|</a>|\r\n)");
    std::multiset<std::string> found;
    for (auto it = std::sregex_iterator(text.begin(), text.end(), marker); it != std::sregex_iterator(); ++it) {
        found.insert(it->str());
    }
    return found;
}

void ExpectTranslationOf(int id, const LocaleFile& english, const std::set<std::string>& keys,
                         const std::string& name) {
    SCOPED_TRACE("resource " + std::to_string(id));
    const LocaleFile file = Load(id);
    EXPECT_EQ(file.name, name);
    EXPECT_EQ(file.duplicates, 0);
    EXPECT_EQ(Keys(file), keys);
    for (const auto& [key, text] : file.entries) {
        EXPECT_FALSE(text.empty()) << key;
        const auto twin = english.entries.find(key);
        if (twin != english.entries.end()) {
            EXPECT_EQ(Markers(text), Markers(twin->second)) << key;
        }
    }
}

TEST(LocaleResources, EveryFileIsUtf8WithItsDeclarationAndCrLfLines) {
    for (const int id : {101, 102, 105, 106, 107, 108, 109, 110, 111, 112, 113, 114, 115, 116, 117, 118}) {
        SCOPED_TRACE("resource " + std::to_string(id));
        const std::string raw = Load(id).raw;
        EXPECT_EQ(raw.rfind("<?xml version='1.0' encoding='utf-8'?>\r\n<Locale name=\"", 0), 0u);
        EXPECT_EQ(std::regex_search(raw, std::regex("[^\r]\n")), false);
        EXPECT_EQ(raw.substr(raw.size() - 11), "</Locale>\r\n");
    }
}

// The BT supplement has no Locale wrapper: every top-level element is an entry.
TEST(LocaleResources, BtSupplementHoldsEveryTextOfTheBtPagesAsTopLevelEntries) {
    const std::string raw = Load(120).raw;
    EXPECT_EQ(raw.rfind("<?xml version='1.0' encoding='utf-8'?>\r\n", 0), 0u);
    EXPECT_EQ(std::regex_search(raw, std::regex("[^\r]\n")), false);
    tinyxml2::XMLDocument document;
    ASSERT_EQ(document.Parse(raw.c_str()), tinyxml2::XML_SUCCESS) << document.ErrorStr();
    EXPECT_EQ(document.FirstChildElement("Locale"), nullptr);
    std::map<std::string, std::string> entries;
    for (auto* entry = document.FirstChildElement(); entry != nullptr; entry = entry->NextSiblingElement()) {
        EXPECT_TRUE(entries.emplace(entry->Name(), entry->GetText() ? entry->GetText() : "").second) << entry->Name();
    }

    std::set<std::string> expected{"SPLASH_TITLE_BT",
                                   "SPLASH_TEXT_BT",
                                   "WARNING_TITLE",
                                   "WARNING_SUBTITLE",
                                   "WARNING_TEXT",
                                   "LICENSE_TITLE",
                                   "LICENSE_TEXT",
                                   "LICENSE_EULA",
                                   "LICENSE_DISCLAIMER",
                                   "OPTIONS_TITLE",
                                   "CONFIGURATIONS_TITLE",
                                   "CONFIGURATIONS_SUBTITLE_1",
                                   "CONFIGURATIONS_TEXT_1",
                                   "CONFIGURATIONS_SUBTITLE_2",
                                   "CONFIGURATIONS_TEXT_2",
                                   "BUTTON_AGREE",
                                   "BUTTON_BACK"};
    for (int i = 1; i <= 3; ++i) expected.insert("OPTIONS_CHECK_" + std::to_string(i));
    for (int i = 1; i <= 5; ++i) expected.insert("CONFIGURATIONS_CHECK_" + std::to_string(i));
    std::set<std::string> keys;
    for (const auto& [key, text] : entries) {
        keys.insert(key);
        EXPECT_FALSE(text.empty()) << key;
    }
    EXPECT_EQ(keys, expected);
    // The licence page turns these two anchors into the product's terms and privacy links.
    EXPECT_EQ(Markers(entries["LICENSE_DISCLAIMER"]),
              (std::multiset<std::string>{"{BUTTON_AGREE}", "<a href=\"[LICENSE_TOS_URL]\">",
                                          "<a href=\"[LICENSE_PRIVACY_URL]\">", "</a>", "</a>"}));
}

TEST(LocaleResources, DownloadTranslationsHaveExactlyTheKeysOfTheEnglishResource) {
    const LocaleFile english = Load(105);
    ASSERT_EQ(english.entries.size(), 30u);
    EXPECT_EQ(english.name, "en_US");
    const std::pair<int, const char*> translations[] = {
        {106, "es"}, {107, "pt_BR"}, {108, "pl"}, {109, "cs"}, {110, "da"}, {111, "de"}, {112, "fi"},
        {113, "fr"}, {114, "it"},    {115, "nl"}, {116, "pl"}, {117, "ru"}, {118, "tr"},
    };
    for (const auto& [id, name] : translations) ExpectTranslationOf(id, english, Keys(english), name);
    EXPECT_EQ(Load(108).raw, Load(116).raw);
}

TEST(LocaleResources, InstallerSpanishLacksOnlyTheBtButtons) {
    const LocaleFile english = Load(101);
    ASSERT_EQ(english.entries.size(), 32u);
    std::set<std::string> keys = Keys(english);
    ASSERT_EQ(keys.erase("BUTTON_AGREE") + keys.erase("BUTTON_BACK"), 2u);
    ExpectTranslationOf(102, english, keys, "es");
}

}  // namespace
