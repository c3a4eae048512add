// The offer's rules on what the machine holds: registry keys and values, files, processes,
// registered applications, uninstall times, the browser and the partner marker.
#include "offer_checker_fixture.h"

#include "config/configuration_manager.h"

namespace tessary::testing {
namespace {

using platform::RegistryRoot;
using platform::RegistryView;

constexpr std::int64_t kDaySeconds = 86400;

class SoftwareChecks : public OfferCheckerTest {
protected:
    std::int64_t NowSeconds() const { return ports.clock->nowMs / 1000; }
    FakeRegistry& Registry() { return *ports.registry; }
};

using RegistryRules = SoftwareChecks;

TEST_F(RegistryRules, ARelativeKeyFoundUnderTheUsersSoftware) {
    Registry().CreateKey(RegistryRoot::CurrentUser, L"Software\\Vendor\\App");
    EXPECT_EQ(ReasonFor({{"r", {"Vendor\\App"}}}), "REGISTRY KEY EXISTS");
    EXPECT_EQ(ReasonFor({{"r", {"vendor\\other"}}}), "");
}

TEST_F(RegistryRules, OneOfTheKeysMustExistAndEmptyEntriesAreSkipped) {
    Registry().CreateKey(RegistryRoot::LocalMachine, L"Software\\Second");
    EXPECT_EQ(ReasonFor({{"ir", {"first", "", "second"}}}), "");
    EXPECT_EQ(ReasonFor({{"ir", {"first", ""}}}), "NONE OF THE REGISTRY KEYS EXISTS");
    EXPECT_EQ(ReasonFor({{"r", {"", "second"}}}), "REGISTRY KEY EXISTS");
}

TEST_F(RegistryRules, AValueThatMustNotExist) {
    Registry().SetString(RegistryRoot::LocalMachine, L"Software\\Vendor", L"Installed", L"yes");
    EXPECT_EQ(ReasonFor({{"rvn", {"vendor\\missing", "vendor\\installed"}}}), "REGISTRY VALUE EXISTS");
    EXPECT_EQ(ReasonFor({{"rvn", {"vendor\\missing", ""}}}), "");
}

TEST_F(RegistryRules, ValueDataComparedByType) {
    Registry().SetString(RegistryRoot::CurrentUser, L"Software\\Vendor\\App", L"Mode", L"Fast");
    Registry().SetDword(RegistryRoot::CurrentUser, L"Software\\Vendor\\App", L"Level", 5);
    EXPECT_EQ(ReasonFor({{"rvd", {"vendor\\app\\mode\\fast"}}}), "REGISTRY VALUE DATA MATCHES");
    EXPECT_EQ(ReasonFor({{"rvd", {"vendor\\app\\mode\\slow"}}}), "");
    EXPECT_EQ(ReasonFor({{"rvd", {"vendor\\app\\level\\5"}}}), "REGISTRY VALUE DATA MATCHES");
    EXPECT_EQ(ReasonFor({{"rvd", {"vendor\\app\\level\\005"}}}), "REGISTRY VALUE DATA MATCHES");
    // A word against a number: that rule does not match, and the offer is still judged.
    EXPECT_EQ(ReasonFor({{"rvd", {"vendor\\app\\level\\high", "", "vendor\\app\\mode\\fast"}}}),
              "REGISTRY VALUE DATA MATCHES");
    EXPECT_EQ(ReasonFor({{"rvd", {"vendor\\app\\level\\99999999999999999999"}}}), "");
    EXPECT_EQ(Accepted().size(), 2u);
}

using Files = SoftwareChecks;

TEST_F(Files, FilesThatMustNotOrOneOfWhichMustExist) {
    ports.fileSystem->AddFile(L"C:\\Tools\\present.exe");
    EXPECT_EQ(ReasonFor({{"fe", {"C:\\Tools\\missing.exe", "C:\\Tools\\present.exe"}}}), "FILE EXISTS");
    EXPECT_EQ(ReasonFor({{"ife", {"C:\\Tools\\missing.exe"}}}), "NONE OF THE FILES EXISTS");
    EXPECT_EQ(ReasonFor({{"ife", {"C:\\Tools\\missing.exe", "C:\\Tools\\present.exe"}}}), "");
    EXPECT_EQ(ReasonFor({{"fe", json::array()}, {"ife", json::array()}}), "");
}

using RunningApps = SoftwareChecks;

TEST_F(RunningApps, PatternsMatchWithAndWithoutOneExtension) {
    ports.system->processNames = {L"System", L"Chrome.exe", L"setup.x86.exe", L"app.tool.exe"};
    EXPECT_EQ(ReasonFor({{"a", {"chrome"}}}), "APPLICATION RUNNING");
    EXPECT_EQ(ReasonFor({{"a", {"CHROME.EXE"}}}), "APPLICATION RUNNING");
    EXPECT_EQ(ReasonFor({{"a", {"setup.x86"}}}), "APPLICATION RUNNING");
    EXPECT_EQ(ReasonFor({{"a", {"app"}}}), "");
    EXPECT_EQ(ports.system->processListReads, 1);
}

TEST_F(RunningApps, AFailedProcessListIsAskedForAgain) {
    ports.system->processListFailure = 5;
    EXPECT_EQ(ReasonFor({{"a", {"chrome"}}}), "");
    ports.system->processListFailure = 0;
    ports.system->processNames = {L"chrome.exe"};
    EXPECT_EQ(ReasonFor({{"a", {"chrome"}}}), "APPLICATION RUNNING");
}

using InstalledApps = SoftwareChecks;

TEST_F(InstalledApps, AnAppPathsEntryCountsOnlyWhenItsFileExists) {
    const std::wstring appPaths = L"SOFTWARE\\Microsoft\\Windows\\CurrentVersion\\App Paths\\";
    Registry().SetString(RegistryRoot::LocalMachine, appPaths + L"chrome.exe", L"", L"C:\\Chrome\\chrome.exe");
    Registry().SetString(RegistryRoot::CurrentUser, appPaths + L"gone.exe", L"", L"C:\\Gone\\gone.exe");
    EXPECT_EQ(ReasonFor({{"iapp", {"chrome.exe"}}}), "REGISTRY INCLUDE APP NOT FOUND");
    ports.fileSystem->AddFile(L"C:\\Chrome\\chrome.exe");
    EXPECT_EQ(ReasonFor({{"iapp", {"chrome.exe"}}}), "");
    EXPECT_EQ(ReasonFor({{"eapp", {"gone.exe", "chrome.exe"}}}), "REGISTRY EXCLUDE APP FOUND");
    EXPECT_EQ(ReasonFor({{"iapp", {"Chrome.exe"}}}), "REGISTRY INCLUDE APP NOT FOUND");
}

using MinDaysSinceUninstall = SoftwareChecks;

TEST_F(MinDaysSinceUninstall, SecondsMillisecondsAndMissingValues) {
    const auto rule = [](const char* name, bool ms) {
        return json{{"cmdu", {{{"utr", "HKEY_CURRENT_USER"}, {"utk", "Software\\Vendor"}, {"utvn", name},
                               {"utvt", "REG_SZ"}, {"umd", 7}, {"utms", ms}}}}};
    };
    const auto threeDaysAgo = static_cast<std::uint64_t>(NowSeconds() - 3 * kDaySeconds);
    const auto eightDaysAgo = static_cast<std::uint64_t>(NowSeconds() - 8 * kDaySeconds);
    Registry().SetString(RegistryRoot::CurrentUser, L"Software\\Vendor", L"Recent", std::to_wstring(threeDaysAgo));
    Registry().SetQword(RegistryRoot::CurrentUser, L"Software\\Vendor", L"RecentMs", threeDaysAgo * 1000);
    Registry().SetString(RegistryRoot::CurrentUser, L"Software\\Vendor", L"Old", std::to_wstring(eightDaysAgo));
    Registry().SetString(RegistryRoot::CurrentUser, L"Software\\Vendor", L"Garbage", L"yesterday");
    EXPECT_EQ(ReasonFor(rule("recent", false)), "MIN DAYS UNINSTALL CHECKER");
    EXPECT_EQ(ReasonFor(rule("recentms", true)), "MIN DAYS UNINSTALL CHECKER");
    EXPECT_EQ(ReasonFor(rule("old", false)), "");
    EXPECT_EQ(ReasonFor(rule("missing", false)), "");
    EXPECT_EQ(ReasonFor(rule("garbage", false)), "");
}

TEST_F(MinDaysSinceUninstall, HugeDayCountsAndTimesSaturateInsteadOfWrapping) {
    Registry().SetQword(RegistryRoot::CurrentUser, L"Software\\Vendor", L"Far", UINT64_MAX - 5);
    Registry().SetString(RegistryRoot::CurrentUser, L"Software\\Vendor", L"Recent",
                         std::to_wstring(NowSeconds() - kDaySeconds));
    const auto rule = [](const char* name, int days) {
        return json{{"cmdu", {{{"utr", "hkey_current_user"}, {"utk", "software\\vendor"}, {"utvn", name},
                               {"utvt", ""}, {"umd", days}, {"utms", false}}}}};
    };
    EXPECT_EQ(ReasonFor(rule("far", INT_MAX)), "MIN DAYS UNINSTALL CHECKER");
    EXPECT_EQ(ReasonFor(rule("recent", INT_MAX)), "MIN DAYS UNINSTALL CHECKER");
    EXPECT_EQ(ReasonFor(rule("recent", INT_MIN)), "");
}

TEST_F(MinDaysSinceUninstall, ARootThatIsNoFullRootNameDoesNotApply) {
    Registry().SetString(RegistryRoot::CurrentUser, L"Software\\Vendor", L"Recent", std::to_wstring(NowSeconds()));
    for (const char* root : {"hkcu", "HKEY CURRENT USER", ""}) {
        const json rules = {{"cmdu", {{{"utr", root}, {"utk", "software\\vendor"}, {"utvn", "recent"},
                                       {"utvt", ""}, {"umd", 1}, {"utms", false}}}}};
        EXPECT_EQ(ReasonFor(rules), "") << root;
    }
}

class BrowserChecks : public SoftwareChecks {
protected:
    BrowserChecks() {
        config->GetPathPlaceholders();
        config->m_pathPlaceholders = {};
        config->m_pathPlaceholders.Insert(L"commonpf", L"C:\\Program Files");
        config->m_pathPlaceholders.Insert(L"localappdata", L"C:\\Users\\u\\AppData\\Local");
    }
};

TEST_F(BrowserChecks, RequiredFoundInThePerUserFolder) {
    EXPECT_EQ(ReasonFor({{"x", 12}}), "NO CHROME");
    ports.fileSystem->AddFile(L"C:\\Users\\u\\AppData\\Local\\Chromium\\Application\\chrome.exe");
    EXPECT_EQ(ReasonFor({{"x", 12}}), "");
    EXPECT_EQ(ReasonFor({{"x", 13}}), "HAVE CHROME");
}

TEST_F(BrowserChecks, RequiredFoundInEitherProgramFilesFolder) {
    for (const wchar_t* path : {L"C:\\Program Files\\Chromium\\Application\\chrome.exe",
                                L"C:\\Program Files\\Google\\Chrome\\Application\\chrome.exe"}) {
        ports.fileSystem->files = {path};
        EXPECT_EQ(ReasonFor({{"x", 12}}), "");
    }
}

TEST_F(BrowserChecks, FoundThroughTheRegistry) {
    Registry().SetString(RegistryRoot::CurrentUser, L"SOFTWARE\\Google\\Chrome\\BLBeacon", L"Path",
                         L"D:\\Browser\\chrome.exe");
    Registry().SetString(RegistryRoot::LocalMachine,
                         L"SOFTWARE\\Microsoft\\Windows\\CurrentVersion\\App Paths\\chrome.exe", L"Path",
                         L"E:\\Chrome");
    EXPECT_EQ(ReasonFor({{"x", 13}}), "");
    ports.fileSystem->AddFile(L"D:\\Browser\\chrome.exe");
    EXPECT_EQ(ReasonFor({{"x", 13}}), "HAVE CHROME");
    ports.fileSystem->files.clear();
    ports.fileSystem->AddFile(L"E:\\Chrome\\chrome.exe");
    EXPECT_EQ(ReasonFor({{"x", 13}}), "HAVE CHROME");
}

using IeVersion = BrowserChecks;

TEST_F(IeVersion, OldNewMissingAndUnreadableVersions) {
    ports.fileSystem->AddFile(L"C:\\Program Files\\Google\\Chrome\\Application\\chrome.exe");  // "x" 2 wants it
    const auto version = [this](const wchar_t* text) {
        Registry().SetString(RegistryRoot::LocalMachine, L"SOFTWARE\\Microsoft\\Internet Explorer", L"Version", text);
    };
    EXPECT_EQ(ReasonFor({{"x", 2}}), "");  // no version at all
    version(L"8.0.7601.17514");
    EXPECT_EQ(ReasonFor({{"x", 2}}), "OLD IE VERSION");
    version(L"9.11.19041.0");
    EXPECT_EQ(ReasonFor({{"x", 2}}), "");
    version(L"unknown");
    EXPECT_EQ(ReasonFor({{"x", 2}}), "");
}

using PartnerMarker = SoftwareChecks;

TEST_F(PartnerMarker, AMarkerDatedTomorrowKeepsTheOfferAway) {
    const auto marker = [this](std::uint32_t date) {
        Registry().SetDword(RegistryRoot::LocalMachine, L"SOFTWARE\\Partner", L"Shown", date);
    };
    const json rules = {{"pn", true}, {"pnr", "SOFTWARE\\Partner\\Shown"}};
    EXPECT_EQ(ReasonFor(rules), "");  // no marker
    marker(20251210);                 // the fake clock's today is 2025-12-09
    EXPECT_EQ(ReasonFor(rules), "PN NO SHOW");
    marker(20251209);
    EXPECT_EQ(ReasonFor(rules), "");
    EXPECT_EQ(ReasonFor({{"pn", true}, {"pnr", "NoBackslash"}}), "");
}

// The marker goes where the shipped 32-bit program puts it (on 64-bit Windows its 32-bit view), so
// a 64-bit build and the shipped one find each other's markers, however the document spells the key.
TEST_F(PartnerMarker, TheMarkerWrittenAfterAnOfferKeepsItAwayNextTimeOnEveryBuild) {
    std::vector<std::string> reasons;
    for (const auto machine :
         {FakeRegistry::Machine::Windows32, FakeRegistry::Machine::Wow64Process, FakeRegistry::Machine::Process64}) {
        for (const char* marker : {"SOFTWARE\\Partner\\Shown", "software\\partner\\shown"}) {
            Registry().machine = machine;
            ports.system->wow64 = machine == FakeRegistry::Machine::Wow64Process;
            ports.system->windows64 = machine == FakeRegistry::Machine::Process64;
            for (const auto view : {RegistryView::Force32, RegistryView::Force64}) {
                Registry().DeleteKey(RegistryRoot::LocalMachine, L"Software\\Partner", view);
            }
            const json rules = {{"pn", true}, {"pnr", marker}};
            ASSERT_TRUE(Offer("shown", rules)->WritePnMarker());
            EXPECT_TRUE(Registry().GetValue(RegistryRoot::LocalMachine, L"Software\\Partner", L"Shown",
                                            RegistryView::Force32))
                << marker << " on machine " << static_cast<int>(machine);
            OfferChecker checker(100, *config,
                                 {*ports.registry, *ports.fileSystem, *ports.system, *ports.clock,
                                  [&](const std::shared_ptr<Package>&, const std::string& reason) {
                                      reasons.push_back(reason);
                                  }});
            bool stop = false;
            EXPECT_FALSE(checker.Check(Offer("next", rules), stop, {}))
                << marker << " on machine " << static_cast<int>(machine);
        }
    }
    EXPECT_EQ(reasons, std::vector<std::string>(6, "PN NO SHOW"));
}

}  // namespace
}  // namespace tessary::testing
