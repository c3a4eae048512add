#include <gtest/gtest.h>

#include "config/configuration_manager.h"
#include "fake_ports.h"
#include "i18n/language_manager.h"

namespace tessary {
namespace {

using testing::FakePorts;
using testing::W;

class FakeLanguageList : public LanguageList {
public:
    void Reset() override { items.clear(), selected = -1; }
    int Count() const override { return static_cast<int>(items.size()); }
    void Add(const std::wstring& text) override { items.push_back(text); }
    void Select(int index) override { selected = index; }
    void Hide() override { hidden = true; }
    std::optional<std::wstring> SelectedText() const override {
        if (selected < 0 || selected >= Count()) return std::nullopt;
        return items[selected];
    }

    std::vector<std::wstring> items;
    int selected = -1;
    bool hidden = false;
};

// Records the order of refreshes and what the table said at that moment.
class RecordingView : public LocalizedView {
public:
    RecordingView(const LanguageManager& manager, std::vector<std::wstring>& log, std::wstring name)
        : m_manager(manager), m_log(log), m_name(std::move(name)) {}
    void UpdateTexts() override { m_log.push_back(m_name + L":" + m_manager.GetText("BUTTON_NEXT")); }

private:
    const LanguageManager& m_manager;
    std::vector<std::wstring>& m_log;
    std::wstring m_name;
};

std::shared_ptr<ConfigurationManager> MakeConfig(const wchar_t* wizardKey) {
    BuildConstants constants;
    constants.wizardKey = wizardKey;
    constants.isvProductTitle = L"Veloran";
    return std::make_shared<ConfigurationManager>(constants);
}

void Serve(FakePorts& ports, int id, std::string_view xml) {
    ports.module->resources[{L"LOCALE", id}] = std::vector<std::uint8_t>(xml.begin(), xml.end());
}

std::vector<std::wstring> MessageTexts(const FakePorts& ports) {
    std::vector<std::wstring> texts;
    for (const auto& message : ports.ui->messages) texts.push_back(message.text);
    return texts;
}

const std::wstring kParseFailure = L"Failed to parse language xml file, error code: ";

TEST(LanguageManager, EachFlavourListsItsOwnResources) {
    FakePorts ports;
    auto config = MakeConfig(L"DLM");
    LanguageManager manager(config);
    EXPECT_EQ(manager.GetLanguageResourceIds(),
              (std::vector<int>{105, 106, 107, 108, 109, 110, 111, 112, 113, 114, 115, 116, 117, 118}));

    config->m_wizardType = 2;
    EXPECT_EQ(manager.GetLanguageResourceIds(), (std::vector<int>{101, 102}));
    EXPECT_TRUE(ports.ui->messages.empty());

    config->m_wizardType = 0;
    EXPECT_TRUE(manager.GetLanguageResourceIds().empty());
    ASSERT_EQ(ports.ui->messages.size(), 1u);
    EXPECT_EQ(ports.ui->messages[0].text, L"Unknown wizard type (language manager");
    EXPECT_FALSE(ports.ui->messages[0].caption.has_value());
    EXPECT_EQ(ports.ui->messages[0].style, platform::kMbOk);
}

TEST(LanguageManager, PreselectsTheUsersLanguageOrTheFirstEntry) {
    const std::pair<std::optional<std::wstring>, int> cases[] = {
        {L"en-US", 0}, {L"en-GB", 0}, {L"ru-RU", 12}, {L"ja-JP", 0}, {std::nullopt, 0},
        {L"pl-PL", 11},  // the second of the two Polish entries
    };
    for (const auto& [userLocale, expected] : cases) {
        FakePorts ports;
        ports.module->ServeShippedLocales();
        ports.locale->userLocale = userLocale;
        LanguageManager manager(MakeConfig(L"DLM"));
        FakeLanguageList list;
        list.items = {L"left over"};

        manager.FillLanguages(list);

        EXPECT_EQ(list.selected, expected) << testing::U8(userLocale.value_or(L"(none)"));
        EXPECT_FALSE(list.hidden);
        EXPECT_TRUE(ports.ui->messages.empty());
        ASSERT_EQ(list.items.size(), 14u);
        EXPECT_EQ(list.items[0], L"English");
        EXPECT_EQ(list.items[3], W("polski"));
        EXPECT_EQ(list.items[11], W("polski"));
        EXPECT_EQ(manager.m_resourceIds.size(), 13u);
        EXPECT_EQ(manager.m_resourceIds.at(W("polski")), 116);
        EXPECT_EQ(manager.m_localeNames.at(W("português")), L"pt_BR");
    }
}

TEST(LanguageManager, InstallerFlavourListsEnglishAndSpanish) {
    FakePorts ports;
    ports.module->ServeShippedLocales();
    ports.locale->userLocale = L"es-MX";  // unknown to the locale port: falls back to "es"
    ports.locale->nativeNames[L"es"] = W("español");
    LanguageManager manager(MakeConfig(L"ISV"));
    FakeLanguageList list;
    manager.FillLanguages(list);
    EXPECT_EQ(list.items, (std::vector<std::wstring>{L"English", W("español")}));
    EXPECT_EQ(list.selected, 1);
}

TEST(LanguageManager, DisplayNameFallsBackToTheLanguagePartThenToTheName) {
    FakePorts ports;
    LanguageManager manager(MakeConfig(L"DLM"));
    EXPECT_EQ(manager.GetLanguageDisplayName(L"de-AT"), L"Deutsch");
    EXPECT_EQ(manager.GetLanguageDisplayName(L"ru"), W("русский"));
    EXPECT_EQ(manager.GetLanguageDisplayName(L"xx_YY"), L"xx_YY");
    EXPECT_EQ(manager.GetLanguageDisplayName(L"x"), L"x");
}

TEST(LanguageManager, BrokenResourcesAreSkippedWithTheirMessage) {
    FakePorts ports;
    ports.module->ServeShippedLocales();
    Serve(ports, 106, "<Locale name=\"es\"><A>x</Locale>");
    ports.module->unloadableResources[{L"LOCALE", 107}] = 8;  // ERROR_NOT_ENOUGH_MEMORY
    ports.module->resources.erase({L"LOCALE", 108});
    Serve(ports, 109, "");
    Serve(ports, 110, std::string_view("\0<Locale name=\"da\"/>", 20));
    Serve(ports, 111, "<Other name=\"de\"/>");  // no Locale element: skipped without a word
    Serve(ports, 112, "<Locale><A>x</A></Locale>");
    LanguageManager manager(MakeConfig(L"DLM"));
    FakeLanguageList list;

    manager.FillLanguages(list);

    const auto messages = MessageTexts(ports);
    ASSERT_EQ(messages.size(), 6u);
    EXPECT_EQ(messages[0].rfind(kParseFailure + L"Error=XML_ERROR_MISMATCHED_ELEMENT", 0), 0u);
    EXPECT_EQ(messages[1], L"Failed to load resource with id: 107");
    EXPECT_EQ(messages[2], L"Failed to find resource with id: 108");
    EXPECT_EQ(messages[3].rfind(kParseFailure + L"Error=XML_ERROR_EMPTY_DOCUMENT", 0), 0u);
    EXPECT_EQ(messages[4].rfind(kParseFailure + L"Error=XML_ERROR_EMPTY_DOCUMENT", 0), 0u);
    EXPECT_EQ(messages[5], kParseFailure + L"No name attribute");
    EXPECT_EQ(list.items, (std::vector<std::wstring>{L"English", W("français"), L"italiano", L"Nederlands",
                                                     W("polski"), W("русский"), W("Türkçe")}));
}

TEST(LanguageManager, SelectingALanguageRefreshesTheViewsAndRecordsTheChoice) {
    FakePorts ports;
    ports.module->ServeShippedLocales();
    auto config = MakeConfig(L"DLM");
    LanguageManager manager(config);
    FakeLanguageList list;
    manager.FillLanguages(list);
    std::vector<std::wstring> log;
    RecordingView first(manager, log, L"first"), second(manager, log, L"second");
    manager.RegisterPage(&first);
    manager.RegisterPage(&second);
    manager.RegisterPage(&first);

    EXPECT_FALSE(manager.SelectLanguage(L"Klingon"));
    EXPECT_TRUE(log.empty());
    EXPECT_TRUE(config->m_languageName.empty());

    ASSERT_TRUE(manager.SelectLanguage(W("русский")));
    EXPECT_EQ(log, (std::vector<std::wstring>{W("first:Далее"), W("second:Далее"), W("first:Далее")}));
    EXPECT_EQ(config->m_languageName, W("русский"));
    EXPECT_EQ(config->m_localeName, L"ru");

    log.clear();
    manager.UnregisterPage(&first);
    ASSERT_TRUE(manager.SelectLanguage(W("polski")));
    EXPECT_EQ(log, (std::vector<std::wstring>{L"second:Dalej"}));
    EXPECT_EQ(config->m_localeName, L"pl");
    EXPECT_TRUE(ports.ui->messages.empty());
}

TEST(LanguageManager, ShippedEnglishTextsCarryTheProductTitleAndTheirMarkup) {
    FakePorts ports;
    ports.module->ServeShippedLocales();
    auto config = MakeConfig(L"DLM");
    LanguageManager manager(config);
    manager.m_resourceIds[L"English"] = 105;

    ASSERT_TRUE(manager.SelectLanguage(L"English"));
    EXPECT_EQ(manager.GetText("WELCOME_TEXT"), L"This will download  on your computer. Click \"Next\" to continue.");

    // The host selects again once the remote configuration has named the product.
    config->m_productTitle = W("Zażółć Gęślą 日本");
    ASSERT_TRUE(manager.SelectLanguage(L"English"));
    EXPECT_EQ(manager.GetText("WELCOME_TEXT"),
              W("This will download Zażółć Gęślą 日本 on your computer. Click \"Next\" to continue."));
    EXPECT_EQ(manager.GetText("PAGE_FINISH_TITLE"),
              W("Thank you.\r\nYou have successfully downloaded Zażółć Gęślą 日本."));
    EXPECT_EQ(manager.GetText("PRODUCT_DISCLAIMER"),
              L"When you click \"Accept\", you agree to the installation of \"[PACKAGE_NAME]\" and that you have read "
              L"the <a href=\"[PACKAGE_PRIVACY_URL]\">Privacy Policy</a> and agree to the terms of its "
              L"<a href=\"[PACKAGE_EULA_URL]\">End User License Agreement</a>. Check \"Add/Remove Programs\" to "
              L"uninstall.");
    EXPECT_EQ(manager.GetText("PROGRESS_STATUS"), L"$percent$ Completed");
    EXPECT_EQ(manager.GetText("LICENSE_TITLE"), L"");
    EXPECT_TRUE(ports.ui->messages.empty());
}

TEST(LanguageManager, ShippedInstallerTextsUseTheirOwnLinkKey) {
    FakePorts ports;
    ports.module->ServeShippedLocales();
    LanguageManager manager(MakeConfig(L"ISV"));
    manager.m_resourceIds[L"English"] = 101;
    ASSERT_TRUE(manager.SelectLanguage(L"English"));
    EXPECT_NE(manager.GetText("PRODUCT_DISCLAIMER").find(L">End User License Agreement</a>"), std::wstring::npos);
    EXPECT_EQ(manager.GetText("UNINSTALL_TEXT").substr(0, 3), L"\r\nT");
    EXPECT_EQ(manager.GetText("PAGE_ERROR_TITLE"), L"Error occurred while installing Veloran.");
}

TEST(LanguageManager, EntriesAreReadInOrderAndCommentsBeforeTheTextAreIgnored) {
    FakePorts ports;
    Serve(ports, 105,
          "<Locale name=\"en_US\"><A><!-- note -->  two  words </A><B>first</B><B>second</B>"
          "<PRODUCT_TITLE>Own title</PRODUCT_TITLE><C>{PRODUCT_TITLE}</C></Locale>");
    LanguageManager manager(MakeConfig(L"ISV"));
    manager.m_resourceIds[L"English"] = 105;
    ASSERT_TRUE(manager.SelectLanguage(L"English"));
    EXPECT_EQ(manager.GetText("A"), L"  two  words ");
    EXPECT_EQ(manager.GetText("B"), L"second");
    EXPECT_EQ(manager.GetText("C"), L"Own title");
}

TEST(LanguageManager, AnEntryWithoutTextLeavesThePartialTableAndStillRefreshes) {
    FakePorts ports;
    Serve(ports, 105, "<Locale name=\"en_US\"><A>one {B}</A><EMPTY/><B>two</B></Locale>");
    auto config = MakeConfig(L"DLM");
    LanguageManager manager(config);
    manager.m_resourceIds[L"English"] = 105;
    std::vector<std::wstring> log;
    RecordingView view(manager, log, L"view");
    manager.RegisterPage(&view);

    EXPECT_TRUE(manager.SelectLanguage(L"English"));

    EXPECT_EQ(MessageTexts(ports), (std::vector<std::wstring>{kParseFailure + L"No name or text attribute"}));
    EXPECT_EQ(manager.GetText("A"), L"one {B}");
    EXPECT_EQ(manager.m_strings.count("B"), 0u);
    EXPECT_EQ(log.size(), 1u);
    EXPECT_EQ(config->m_languageName, L"English");
}

TEST(LanguageManager, ADocumentWithoutLocaleLeavesTheTableAlone) {
    FakePorts ports;
    LanguageManager manager(MakeConfig(L"DLM"));
    manager.m_strings["KEPT"] = "yes";
    tinyxml2::XMLDocument document;
    ASSERT_EQ(document.Parse("<Other name=\"en_US\"><A>x</A></Other>"), tinyxml2::XML_SUCCESS);

    EXPECT_FALSE(manager.LoadStrings(document));

    EXPECT_EQ(MessageTexts(ports), (std::vector<std::wstring>{kParseFailure + L"No Locale element"}));
    EXPECT_EQ(manager.m_strings, (StringTable{{"KEPT", "yes"}}));
}

TEST(LanguageManager, BtSupplementEntriesGiveWayToTheLocalesOwn) {
    FakePorts ports;
    ports.module->ServeShippedLocales();
    Serve(ports, 120,
          "<SPLASH_TITLE_BT>Hello, {BUTTON_NEXT}</SPLASH_TITLE_BT><BUTTON_NEXT>Supplied</BUTTON_NEXT>"
          "<WARNING_TEXT/><WARNING_TITLE><!-- c -->Careful</WARNING_TITLE>");
    auto config = MakeConfig(L"DLM");
    config->m_btVariant = true;
    LanguageManager manager(config);
    FakeLanguageList list;

    manager.FillLanguages(list);
    ASSERT_TRUE(manager.SelectLanguage(*list.SelectedText()));

    EXPECT_TRUE(list.hidden);
    EXPECT_EQ(manager.GetText("SPLASH_TITLE_BT"), L"Hello, Next");
    EXPECT_EQ(manager.GetText("BUTTON_NEXT"), L"Next");
    EXPECT_EQ(manager.GetText("WARNING_TITLE"), L"Careful");
    EXPECT_EQ(manager.m_strings.count("WARNING_TEXT"), 0u);
    EXPECT_TRUE(ports.ui->messages.empty());
}

TEST(LanguageManager, ATitleThatRefersBackToItsTextsStillEnds) {
    FakePorts ports;
    ports.module->ServeShippedLocales();
    auto config = MakeConfig(L"DLM");
    config->m_productTitle = L"{WELCOME_TEXT}";
    LanguageManager manager(config);
    manager.m_resourceIds[L"English"] = 105;
    ASSERT_TRUE(manager.SelectLanguage(L"English"));
    const std::wstring text = manager.GetText("WELCOME_TEXT");
    EXPECT_EQ(text.rfind(L"This will download This will download ", 0), 0u);
    EXPECT_LT(text.size(), 100'000u);
}

TEST(ReferenceExpansion, ResolvesNestedReferencesAndLeavesTheRestAsWritten) {
    const StringTable table{{"A", "[{B}]"}, {"B", "<{C}>"}, {"C", "c"}, {"EMPTY", ""}};
    EXPECT_EQ(ExpandValue("x{A}y{C}", table), "x[<c>]yc");
    EXPECT_EQ(ExpandValue("{UNKNOWN} and {C}", table), "{UNKNOWN} and c");
    EXPECT_EQ(ExpandValue("{C} then {C and more", table), "c then {C and more");
    EXPECT_EQ(ExpandValue("}{EMPTY}{", table), "}{");
    EXPECT_EQ(ExpandValue("[PACKAGE_NAME] $percent$", table), "[PACKAGE_NAME] $percent$");
    // The first "}" closes the name, so a brace inside a name is part of an unknown name.
    EXPECT_EQ(ExpandValue("{x{C}}", table), "{x{C}}");
}

TEST(ReferenceExpansion, ACycleStopsAfterTheReplacementLimit) {
    const StringTable self{{"A", "<{A}>"}};
    const std::string limit(kMaxReplacementsPerValue + 1, '<');
    EXPECT_EQ(ExpandValue("<{A}>", self),
              limit + "{A}" + std::string(kMaxReplacementsPerValue + 1, '>'));

    const StringTable pair{{"A", "a{B}"}, {"B", "b{A}"}};
    const std::string expanded = ExpandValue("{A}", pair);
    EXPECT_EQ(expanded.size(), static_cast<std::size_t>(kMaxReplacementsPerValue) + 3);
    EXPECT_EQ(expanded.substr(0, 4), "abab");
}

}  // namespace
}  // namespace tessary
