#include "offers/registry_cache.h"

#include <gtest/gtest.h>

#include <memory>
#include <optional>
#include <string>
#include <vector>

#include "fake_file_system.h"
#include "fake_registry.h"
#include "registry_machines.h"

namespace tessary {
namespace {

using platform::RegistryRoot;
using platform::RegistryView;
using testing::FakeRegistry;
using Machine = FakeRegistry::Machine;

constexpr platform::Status kAccessDenied = 5;
const std::wstring kAppPaths = L"SOFTWARE\\Microsoft\\Windows\\CurrentVersion\\App Paths\\";

// The registry and files of one machine, and the cache of one evaluation over them. Keys are set
// up in a named view (Force64 or Force32), so the same set-up means the same keys for the 64-bit
// build and for the shipped build under WOW64; on 32-bit Windows both views are the one registry.
class RegistryCacheTest : public ::testing::TestWithParam<Machine> {
protected:
    RegistryCacheTest() { registry.machine = GetParam(); }

    bool Windows64() const { return GetParam() != Machine::Windows32; }
    offers::RegistryCache& Cache() {
        if (!m_cache)
            m_cache = std::make_unique<offers::RegistryCache>(registry, files, offers::RegistryMachine{Windows64()});
        return *m_cache;
    }
    // Whether any candidate of a rule entry exists, the way the checks test "r" entries.
    bool EntryExists(const std::wstring& entry) {
        for (const auto& candidate : offers::ExpandRegistryPath(entry, Cache().Machine())) {
            if (Cache().KeyExists(candidate)) return true;
        }
        return false;
    }
    std::optional<std::wstring> Read(const std::wstring& root, const std::wstring& keyPath, const std::wstring& name) {
        std::wstring out = L"<unchanged>";
        if (!Cache().ReadText(root, keyPath, name, out)) {
            EXPECT_EQ(out, L"<unchanged>");
            return std::nullopt;
        }
        return out;
    }
    void AddApp(RegistryRoot root, RegistryView view, const std::wstring& name, const std::wstring& path) {
        registry.SetString(root, kAppPaths + name, L"", path, view);
    }

    FakeRegistry registry;
    testing::FakeFileSystem files;

private:
    std::unique_ptr<offers::RegistryCache> m_cache;
};

// --- KeyExists ---------------------------------------------------------------------------------

TEST_P(RegistryCacheTest, SoftwareKeysAreTestedInTheViewTheRulesMean) {
    registry.CreateKey(RegistryRoot::LocalMachine, L"Software\\Vendor\\App", RegistryView::Force64);
    registry.CreateKey(RegistryRoot::LocalMachine, L"Software\\Other", RegistryView::Force32);
    registry.CreateKey(RegistryRoot::CurrentUser, L"Software\\UserVendor");
    registry.CreateKey(RegistryRoot::ClassesRoot, L".tessary");

    EXPECT_TRUE(Cache().KeyExists(L"hkey_local_machine\\software\\vendor\\app"));
    EXPECT_TRUE(Cache().KeyExists(L"hkey_local_machine\\software\\VenDor\\App")) << "the registry ignores case";
    EXPECT_FALSE(Cache().KeyExists(L"hkey_local_machine\\software\\vendor\\missing"));
    EXPECT_TRUE(Cache().KeyExists(L"hkey_current_user\\software\\uservendor"));
    // On 64-bit Windows the plain path is the 64-bit view and Wow6432Node the 32-bit one.
    EXPECT_EQ(Cache().KeyExists(L"hkey_local_machine\\software\\other"), !Windows64());
    EXPECT_EQ(Cache().KeyExists(L"hkey_local_machine\\software\\wow6432node\\other"), Windows64());
    EXPECT_EQ(Cache().KeyExists(L"hkey_local_machine\\software\\Wow6432Node\\Other"), Windows64());
    EXPECT_FALSE(Cache().KeyExists(L"hkey_local_machine\\software\\wow6432node\\vendor"));
    EXPECT_EQ(Cache().KeyExists(L"hkey_current_user\\software\\wow6432node\\uservendor"), Windows64());
    // Every relative entry is found through one of its candidates.
    EXPECT_TRUE(EntryExists(L"vendor\\app"));
    EXPECT_TRUE(EntryExists(L"other"));
    EXPECT_TRUE(EntryExists(L"uservendor"));
    EXPECT_FALSE(EntryExists(L"nothing"));
    // Other paths, and Software not spelt as the exact lower-case prefix, are plain paths in the
    // shipped program's default view.
    EXPECT_TRUE(EntryExists(L"hkcr\\.tessary"));
    EXPECT_TRUE(Cache().KeyExists(L"hkey_local_machine\\SOFTWARE\\Other"));
    EXPECT_EQ(Cache().KeyExists(L"hkey_local_machine\\SOFTWARE\\Vendor"), !Windows64());
}

TEST_P(RegistryCacheTest, SoftwareItselfAndNamesWithoutAFullRootAreAbsent) {
    registry.CreateKey(RegistryRoot::LocalMachine, L"Software\\Vendor", RegistryView::Force32);
    registry.CreateKey(RegistryRoot::LocalMachine, L"Software\\Vendor", RegistryView::Force64);
    for (const wchar_t* path : {L"hkey_local_machine\\software\\", L"hkey_current_user\\software\\",
                                L"hkey_local_machine\\software\\wow6432node\\", L"hklm\\software\\vendor",
                                L"HKEY_LOCAL_MACHINE\\software\\vendor", L"d", L""}) {
        EXPECT_FALSE(Cache().KeyExists(path)) << path;
    }
}

TEST(RegistryCacheOn32BitWindows, AWow6432NodeKeyCostsNoRegistryCall) {
    FakeRegistry registry;
    testing::FakeFileSystem files;
    registry.CreateKey(RegistryRoot::LocalMachine, L"Software\\Wow6432Node\\Vendor");
    offers::RegistryCache cache(registry, files, offers::RegistryMachine{false});
    std::wstring out;
    EXPECT_FALSE(cache.KeyExists(L"hkey_local_machine\\software\\wow6432node\\vendor"));
    EXPECT_FALSE(cache.KeyExists(L"hkey_current_user\\software\\WOW6432NODE\\vendor"));
    EXPECT_FALSE(cache.ReadText(L"hkey_local_machine", L"software\\wow6432node\\vendor", L"", out));
    const auto counts = registry.GetCounts();
    EXPECT_EQ(counts.opens + counts.enumerations + counts.reads, 0);
}

// --- what the Software test costs ----------------------------------------------------------------

TEST_P(RegistryCacheTest, EachSoftwareHiveIsEnumeratedOncePerRootAndView) {
    for (int i = 0; i < 10; ++i) {
        const std::wstring vendor = L"Software\\Vendor" + std::to_wstring(i) + L"\\App";
        registry.CreateKey(RegistryRoot::LocalMachine, vendor, RegistryView::Force64);
        registry.CreateKey(RegistryRoot::LocalMachine, vendor, RegistryView::Force32);
        registry.CreateKey(RegistryRoot::CurrentUser, vendor);
    }
    // Twenty offers with five relative entries each.
    for (int offer = 0; offer < 20; ++offer) {
        for (int rule = 0; rule < 5; ++rule) {
            const std::wstring entry = (rule % 2 ? L"vendor" : L"absent") + std::to_wstring(offer % 10) + L"\\app";
            EXPECT_EQ(EntryExists(entry), rule % 2 == 1) << entry;
        }
    }
    EXPECT_EQ(registry.GetCounts().enumerations, Windows64() ? 4 : 2);

    // A first component the hive does not have costs no open at all.
    registry.ResetCounts();
    for (int i = 0; i < 10; ++i) EXPECT_FALSE(EntryExists(L"absent" + std::to_wstring(i) + L"\\app"));
    EXPECT_EQ(registry.GetCounts().opens, 0);
    EXPECT_EQ(registry.GetCounts().enumerations, 0);
}

TEST_P(RegistryCacheTest, AnEmptyHiveStaysLoadedAndAFailedEnumerationIsTriedAgain) {
    registry.CreateKey(RegistryRoot::CurrentUser, L"Software");
    for (int i = 0; i < 3; ++i) EXPECT_FALSE(Cache().KeyExists(L"hkey_current_user\\software\\vendor"));
    EXPECT_EQ(registry.GetCounts().enumerations, 1);

    registry.CreateKey(RegistryRoot::LocalMachine, L"Software\\Vendor", RegistryView::Force64);
    registry.FailKey(RegistryRoot::LocalMachine, L"Software", {.enumerate = kAccessDenied}, RegistryView::Force64);
    registry.ResetCounts();
    EXPECT_FALSE(Cache().KeyExists(L"hkey_local_machine\\software\\vendor"));
    EXPECT_FALSE(Cache().KeyExists(L"hkey_local_machine\\software\\vendor"));
    EXPECT_EQ(registry.GetCounts().enumerations, 2);

    registry.FailKey(RegistryRoot::LocalMachine, L"Software", {}, RegistryView::Force64);
    EXPECT_TRUE(Cache().KeyExists(L"hkey_local_machine\\software\\vendor"));
    EXPECT_TRUE(Cache().KeyExists(L"hkey_local_machine\\software\\vendor"));
    EXPECT_EQ(registry.GetCounts().enumerations, 3);
}

// The 64-bit build must judge as the shipped build does under WOW64: the same answers from the
// same keys, at the same cost.
TEST(RegistryCacheOn64BitWindows, The64BitBuildAsksWhatTheShippedBuildAsksUnderWow64) {
    struct Outcome {
        std::vector<std::wstring> answers;
        FakeRegistry::Counts counts;
    };
    const auto run = [](Machine machine) {
        FakeRegistry registry;
        testing::FakeFileSystem files;
        registry.machine = machine;
        registry.CreateKey(RegistryRoot::LocalMachine, L"Software\\Vendor\\App", RegistryView::Force64);
        registry.SetString(RegistryRoot::LocalMachine, L"Software\\Vendor", L"V", L"64", RegistryView::Force64);
        registry.SetString(RegistryRoot::LocalMachine, L"Software\\Vendor", L"V", L"32", RegistryView::Force32);
        registry.SetDword(RegistryRoot::LocalMachine, L"Software\\Old", L"N", 3, RegistryView::Force32);
        registry.SetString(RegistryRoot::LocalMachine, kAppPaths + L"a.exe", L"", L"C:\\a.exe", RegistryView::Force64);
        registry.SetString(RegistryRoot::LocalMachine, kAppPaths + L"b.exe", L"", L"C:\\b.exe", RegistryView::Force32);
        files.AddFile(L"C:\\a.exe");
        files.AddFile(L"C:\\b.exe");
        offers::RegistryCache cache(registry, files, offers::RegistryMachine{true});
        Outcome outcome;
        for (const auto* entry : {L"vendor\\app", L"old", L"vendor", L"hklm\\software\\old",
                                  L"wow6432node\\vendor\\app", L"hklm\\software\\wow6432node\\old", L"missing\\app"}) {
            for (const auto& candidate : offers::ExpandRegistryPath(entry, cache.Machine())) {
                outcome.answers.push_back(candidate + (cache.KeyExists(candidate) ? L" yes" : L" no"));
            }
        }
        for (const auto& [path, name] : std::vector<std::pair<std::wstring, std::wstring>>{
                 {L"software\\vendor", L"V"}, {L"software\\old", L"N"}, {L"SOFTWARE\\Vendor", L"V"}}) {
            std::wstring out = L"nothing";
            (void)cache.ReadText(L"hkey_local_machine", path, name, out);
            outcome.answers.push_back(path + L" " + out);
        }
        for (const auto* app : {L"a.exe", L"b.exe"}) {
            outcome.answers.push_back(std::wstring(app) + (cache.IsAppInstalled(app) ? L" yes" : L" no"));
        }
        outcome.counts = registry.GetCounts();
        return outcome;
    };
    const auto shipped = run(Machine::Wow64Process);
    const auto build64 = run(Machine::Process64);
    EXPECT_EQ(build64.answers, shipped.answers);
    EXPECT_EQ(build64.counts.opens, shipped.counts.opens);
    EXPECT_EQ(build64.counts.enumerations, shipped.counts.enumerations);
    EXPECT_EQ(build64.counts.reads, shipped.counts.reads);
    // And what the shipped build answers is what 64-bit Windows holds.
    const std::vector<std::wstring> expected = {L"software\\vendor 64", L"software\\old 3", L"SOFTWARE\\Vendor 32",
                                                L"a.exe yes", L"b.exe yes"};
    EXPECT_EQ(std::vector<std::wstring>(shipped.answers.end() - 5, shipped.answers.end()), expected);
}

// --- ReadText ------------------------------------------------------------------------------------

TEST_P(RegistryCacheTest, StringsAndNumbersAreReadAsTextOtherTypesAreNot) {
    const std::wstring key = L"Software\\Vendor";
    registry.SetString(RegistryRoot::CurrentUser, key, L"Name", L"Vendor App");
    registry.SetString(RegistryRoot::CurrentUser, key, L"", L"default");
    registry.SetDword(RegistryRoot::CurrentUser, key, L"Seven", 7);
    registry.SetDword(RegistryRoot::CurrentUser, key, L"AllOnes", 0xFFFFFFFFu);
    registry.SetQword(RegistryRoot::CurrentUser, key, L"Large", (1ull << 40) + 5);
    registry.SetExpandString(RegistryRoot::CurrentUser, key, L"Expand", L"C:\\Tools");
    registry.SetValue(RegistryRoot::CurrentUser, key, L"Binary", {platform::kRegBinary, {}, 0});

    const std::wstring root = L"hkey_current_user";
    EXPECT_EQ(Read(root, L"software\\vendor", L"Name"), L"Vendor App") << "text as stored, not lower-cased";
    EXPECT_EQ(Read(root, L"software\\vendor", L"name"), L"Vendor App");
    EXPECT_EQ(Read(root, L"software\\vendor", L""), L"default");
    EXPECT_EQ(Read(root, L"software\\vendor", L"Seven"), L"7");
    EXPECT_EQ(Read(root, L"software\\vendor", L"AllOnes"), L"4294967295");
    EXPECT_EQ(Read(root, L"software\\vendor", L"Large"), L"1099511627781");
    EXPECT_EQ(Read(root, L"software\\vendor", L"Expand"), std::nullopt);
    EXPECT_EQ(Read(root, L"software\\vendor", L"Binary"), std::nullopt);
    EXPECT_EQ(Read(root, L"software\\vendor", L"Missing"), std::nullopt);
    EXPECT_EQ(Read(root, L"software\\missing", L"Name"), std::nullopt);
    EXPECT_EQ(Read(root, L"SOFTWARE\\Vendor", L"Seven"), L"7");
}

TEST_P(RegistryCacheTest, ARootNameOutsideTheTableFindsNothing) {
    registry.SetString(RegistryRoot::LocalMachine, L"Software\\Vendor", L"Name", L"x", RegistryView::Force64);
    registry.SetString(RegistryRoot::LocalMachine, L"Software\\Vendor", L"Name", L"x", RegistryView::Force32);
    for (const wchar_t* root : {L"hklm", L"HKEY_LOCAL_MACHINE", L"utr", L"", L"hkey_local_machine\\software"}) {
        EXPECT_EQ(Read(root, L"software\\vendor", L"Name"), std::nullopt) << root;
    }
}

class RegistryCache64Test : public RegistryCacheTest {};

TEST_P(RegistryCache64Test, ReadTextLooksInThe64BitViewFirstThenUnderWow6432Node) {
    const std::wstring key = L"Software\\Vendor";
    registry.SetString(RegistryRoot::LocalMachine, key, L"Both", L"from 64", RegistryView::Force64);
    registry.SetString(RegistryRoot::LocalMachine, key, L"Both", L"from 32", RegistryView::Force32);
    registry.SetString(RegistryRoot::LocalMachine, key, L"Only32", L"from 32", RegistryView::Force32);
    registry.SetExpandString(RegistryRoot::LocalMachine, key, L"Expand64", L"x", RegistryView::Force64);
    registry.SetDword(RegistryRoot::LocalMachine, key, L"Expand64", 32, RegistryView::Force32);
    registry.SetString(RegistryRoot::LocalMachine, key, L"Unreadable64", L"from 64", RegistryView::Force64);
    registry.SetString(RegistryRoot::LocalMachine, L"Software\\Other", L"Unreadable64", L"from 32",
                       RegistryView::Force32);

    const std::wstring root = L"hkey_local_machine";
    EXPECT_EQ(Read(root, L"software\\vendor", L"Both"), L"from 64");
    EXPECT_EQ(Read(root, L"software\\vendor", L"Only32"), L"from 32");
    EXPECT_EQ(Read(root, L"software\\vendor", L"Expand64"), L"32") << "an expandable string gives nothing";
    // A key path that does not begin with "software" has one candidate, in the default view.
    EXPECT_EQ(Read(root, L"SOFTWARE\\Vendor", L"Both"), L"from 32");
    EXPECT_EQ(Read(root, L"SOFTWARE\\Vendor", L"Expand64"), L"32");
    EXPECT_EQ(Read(root, L"software\\wow6432node\\vendor", L"Both"), L"from 32");

    registry.FailKey(RegistryRoot::LocalMachine, key, {.read = kAccessDenied}, RegistryView::Force64);
    EXPECT_EQ(Read(root, L"software\\vendor", L"Both"), L"from 32") << "a failed read moves on";
    registry.FailKey(RegistryRoot::LocalMachine, key, {.open = kAccessDenied}, RegistryView::Force64);
    EXPECT_EQ(Read(root, L"software\\vendor", L"Both"), L"from 32") << "a failed open moves on";
}

// --- IsAppInstalled --------------------------------------------------------------------------------

TEST_P(RegistryCacheTest, AnAppIsInstalledWhenAnAppPathsEntryOfItsExactNameNamesAFile) {
    files.AddFile(L"C:\\Apps\\chrome.exe");
    files.AddFile(L"C:\\Apps\\tool.exe");
    files.AddFile(L"C:\\Apps\\old.exe");
    AddApp(RegistryRoot::LocalMachine, RegistryView::Force64, L"chrome.exe", L"C:\\Apps\\chrome.exe");
    AddApp(RegistryRoot::LocalMachine, RegistryView::Force64, L"gone.exe", L"C:\\Apps\\gone.exe");
    AddApp(RegistryRoot::LocalMachine, RegistryView::Force64, L"Mixed.EXE", L"C:\\Apps\\tool.exe");
    AddApp(RegistryRoot::LocalMachine, RegistryView::Force32, L"old.exe", L"C:\\Apps\\old.exe");
    // The same name under two roots: the second names a file that is there.
    AddApp(RegistryRoot::LocalMachine, RegistryView::Force64, L"tool.exe", L"C:\\Apps\\missing.exe");
    AddApp(RegistryRoot::CurrentUser, RegistryView::Default, L"tool.exe", L"C:\\Apps\\tool.exe");
    registry.CreateKey(RegistryRoot::CurrentUser, kAppPaths + L"novalue.exe");
    registry.SetDword(RegistryRoot::CurrentUser, kAppPaths + L"number.exe", L"", 1);

    EXPECT_TRUE(Cache().IsAppInstalled(L"chrome.exe"));
    EXPECT_FALSE(Cache().IsAppInstalled(L"Chrome.exe")) << "the name is compared exactly";
    EXPECT_FALSE(Cache().IsAppInstalled(L"gone.exe"));
    EXPECT_TRUE(Cache().IsAppInstalled(L"mixed.exe")) << "the index holds lower-cased names";
    EXPECT_FALSE(Cache().IsAppInstalled(L"Mixed.EXE"));
    EXPECT_TRUE(Cache().IsAppInstalled(L"old.exe"));
    EXPECT_TRUE(Cache().IsAppInstalled(L"tool.exe"));
    EXPECT_FALSE(Cache().IsAppInstalled(L"novalue.exe"));
    EXPECT_FALSE(Cache().IsAppInstalled(L"number.exe"));
    EXPECT_FALSE(Cache().IsAppInstalled(L"absent.exe"));
    EXPECT_FALSE(Cache().IsAppInstalled(L""));
}

TEST_P(RegistryCacheTest, TheAppPathsIndexIsBuiltOnceAndEachPathReadOnce) {
    AddApp(RegistryRoot::LocalMachine, RegistryView::Force64, L"a.exe", L"C:\\a.exe");
    AddApp(RegistryRoot::LocalMachine, RegistryView::Force32, L"b.exe", L"C:\\b.exe");
    AddApp(RegistryRoot::CurrentUser, RegistryView::Default, L"c.exe", L"C:\\c.exe");
    EXPECT_FALSE(Cache().IsAppInstalled(L"a.exe"));
    // Under WOW64 each root is indexed in both views; HKCU\Software is the same in both.
    const int indexed = registry.GetCounts().enumerations;
    EXPECT_EQ(indexed, Windows64() ? 4 : 2);

    registry.ResetCounts();
    for (int round = 0; round < 10; ++round) {
        for (const auto* app : {L"a.exe", L"b.exe", L"c.exe", L"d.exe"}) EXPECT_FALSE(Cache().IsAppInstalled(app));
    }
    const auto counts = registry.GetCounts();
    EXPECT_EQ(counts.enumerations, 0);
    // Each entry of b and c read once (a was read above); c has one entry per view under WOW64.
    EXPECT_EQ(counts.reads, Windows64() ? 3 : 2);
}

TEST_P(RegistryCacheTest, AnEmptyOrMissingIndexStaysBuiltAndAFailedEnumerationIsTriedAgain) {
    EXPECT_FALSE(Cache().IsAppInstalled(L"a.exe"));
    registry.ResetCounts();
    EXPECT_FALSE(Cache().IsAppInstalled(L"a.exe"));
    EXPECT_EQ(registry.GetCounts().opens, 0) << "no App Paths key anywhere is an answer too";

    offers::RegistryCache cache(registry, files, Cache().Machine());
    files.AddFile(L"C:\\a.exe");
    AddApp(RegistryRoot::LocalMachine, RegistryView::Force64, L"a.exe", L"C:\\a.exe");
    registry.FailKey(RegistryRoot::LocalMachine, kAppPaths, {.enumerate = kAccessDenied}, RegistryView::Force64);
    EXPECT_FALSE(cache.IsAppInstalled(L"a.exe"));
    registry.FailKey(RegistryRoot::LocalMachine, kAppPaths, {}, RegistryView::Force64);
    registry.ResetCounts();
    EXPECT_TRUE(cache.IsAppInstalled(L"a.exe"));
    EXPECT_EQ(registry.GetCounts().enumerations, 1) << "only the key that failed is indexed again";
}

// --- hostile entries -------------------------------------------------------------------------------

TEST_P(RegistryCacheTest, HostileEntriesAreAnsweredWithoutThrowing) {
    registry.CreateKey(RegistryRoot::LocalMachine, L"Software\\Vendor", RegistryView::Force64);
    registry.CreateKey(RegistryRoot::LocalMachine, L"Software\\Vendor", RegistryView::Force32);
    registry.CreateKey(RegistryRoot::CurrentUser, L"Software\\Vendor");
    AddApp(RegistryRoot::CurrentUser, RegistryView::Default, L"a.exe", L"");
    const std::vector<std::wstring> entries = {L"",
                                               L"\\",
                                               L"\\\\\\",
                                               L"d",
                                               L"hklm",
                                               L"hklm\\",
                                               L"hklm\\x",
                                               L"hkey_local_machine\\",
                                               L"hkey_users\\",
                                               L"hkey_local_machine\\software\\",
                                               L"hkey_local_machine\\software\\wow6432node",
                                               L"wow6432node",
                                               L"wow6432node\\",
                                               L"software\\wow6432node\\",
                                               L"hkcu\\software\\\\vendor",
                                               L"vendor\\\\",
                                               L"..\\vendor",
                                               L"hkey_users\\..\\x",
                                               std::wstring(L"ven\0dor", 7),
                                               std::wstring(100000, L'\\'),
                                               std::wstring(100000, L'a'),
                                               L"\u00e9\u4e2d\\\U0001F600",
                                               L"HKLM\\SOFTWARE\\VENDOR",
                                               L"software",
                                               L"software\\",
                                               L"hkey_foo\\"};
    for (const auto& entry : entries) {
        EXPECT_NO_THROW({
            (void)EntryExists(entry);
            (void)Cache().KeyExists(entry);
            std::wstring out;
            (void)Cache().ReadText(entry, entry, entry, out);
            (void)Cache().ReadText(L"hkey_local_machine", entry, L"", out);
            (void)Cache().IsAppInstalled(entry);
        }) << entry.size()
           << " characters";
    }
}

INSTANTIATE_TEST_SUITE_P(EachMachine, RegistryCacheTest, testing::kEveryRegistryMachine, testing::RegistryMachineName);
INSTANTIATE_TEST_SUITE_P(SixtyFourBitWindows, RegistryCache64Test,
                         ::testing::Values(Machine::Process64, Machine::Wow64Process), testing::RegistryMachineName);

}  // namespace
}  // namespace tessary
