// The offer checks' registry layer over the real registry under Wine: both views, Wow6432Node,
// enumeration, typed reads and App Paths, with keys and values the tests write and remove. Wine
// for x86-64 is a 64-bit Windows, so the 64-bit build and the shipped build under WOW64 must give
// the same answers here.
#include <windows.h>

#include <algorithm>
#include <atomic>
#include <string>
#include <thread>
#include <vector>

#include <gtest/gtest.h>

#include "offers/registry_access.h"
#include "offers/registry_cache.h"
#include "offers/registry_error.h"
#include "platform/win32/handles.h"
#include "platform/win32/win32_ports.h"
#include "real_registry.h"

namespace tessary {
namespace {

using platform::RegistryRoot;
using platform::RegistryView;

const std::wstring kAppPaths = L"Software\\Microsoft\\Windows\\CurrentVersion\\App Paths\\";
const std::wstring kScratch = std::wstring(L"Software\\") + testing::kScratchKey;
// The scratch key as rule entries write it: lower case, below a root name or relative to Software.
const std::wstring kEntry = L"tessaryregistrycontract";
const std::wstring kLocalMachineEntry = L"hkey_local_machine\\software\\" + kEntry;
const std::wstring kPresentApp = L"tessary-layer-present.exe";
const std::wstring kMissingApp = L"tessary-layer-missing.exe";
const std::wstring k64BitApp = L"tessary-layer-64.exe";

std::wstring ThisProgram() {
    wchar_t path[MAX_PATH] = {};
    ::GetModuleFileNameW(nullptr, path, MAX_PATH);
    return path;
}

class RegistryLayerTest : public ::testing::Test {
protected:
    RegistryLayerTest()
        : registry({{RegistryRoot::CurrentUser, kAppPaths + kPresentApp},
                    {RegistryRoot::CurrentUser, kAppPaths + kMissingApp},
                    {RegistryRoot::LocalMachine, kAppPaths + k64BitApp}}) {}

    bool EntryExists(const std::wstring& entry) {
        for (const auto& candidate : offers::ExpandRegistryPath(entry, machine)) {
            if (cache.KeyExists(candidate)) return true;
        }
        return false;
    }
    std::wstring Read(const std::wstring& keyPath, const std::wstring& name) {
        std::wstring out = L"<nothing>";
        (void)cache.ReadText(L"hkey_local_machine", keyPath, name, out);
        return out;
    }

    testing::RealRegistryUnderTest registry;
    std::shared_ptr<platform::FileSystemPort> files = win32::MakeFileSystemPort();
    offers::RegistryMachine machine{offers::IsWow64(*win32::MakeSystemPort())};
    offers::RegistryCache cache{registry.Port(), *files, machine};
};

TEST_F(RegistryLayerTest, SoftwareKeysOfEachViewAndWow6432Node) {
    ASSERT_TRUE(machine.wow64) << "Wine for x86-64 is 64-bit Windows for both builds";
    registry.CreateKey(RegistryRoot::LocalMachine, RegistryView::Force64, kScratch + L"\\Only64\\Deeper");
    registry.CreateKey(RegistryRoot::LocalMachine, RegistryView::Force32, kScratch + L"\\Only32");

    EXPECT_TRUE(cache.KeyExists(kLocalMachineEntry + L"\\only64\\deeper"));
    EXPECT_TRUE(cache.KeyExists(kLocalMachineEntry + L"\\Only64"));
    EXPECT_FALSE(cache.KeyExists(kLocalMachineEntry + L"\\only32"));
    EXPECT_TRUE(cache.KeyExists(L"hkey_local_machine\\software\\wow6432node\\" + kEntry + L"\\only32"));
    EXPECT_FALSE(cache.KeyExists(L"hkey_local_machine\\software\\wow6432node\\" + kEntry + L"\\only64"));
    EXPECT_TRUE(EntryExists(kEntry + L"\\only32")) << "through its Wow6432Node candidate";
    EXPECT_TRUE(EntryExists(L"hklm\\software\\" + kEntry + L"\\only64\\deeper"));
    EXPECT_FALSE(EntryExists(kEntry + L"\\neither"));
    // A path outside the Software prefixes is looked at in the shipped program's default view.
    EXPECT_TRUE(
        offers::PlainKeyExists(registry.Port(), L"hkey_local_machine\\SOFTWARE\\" + kEntry + L"\\Only32", machine));
    EXPECT_FALSE(
        offers::PlainKeyExists(registry.Port(), L"hkey_local_machine\\SOFTWARE\\" + kEntry + L"\\Only64", machine));
}

TEST_F(RegistryLayerTest, ValuesAreReadAsTextFromThe64BitViewFirst) {
    const auto root = RegistryRoot::LocalMachine;
    registry.SetString(root, RegistryView::Force64, kScratch, L"Both", L"from 64");
    registry.SetString(root, RegistryView::Force32, kScratch, L"Both", L"from 32");
    registry.SetString(root, RegistryView::Force32, kScratch, L"Only32", L"Vendor App");
    registry.SetDword(root, RegistryView::Force64, kScratch, L"Seven", 7);
    registry.SetQword(root, RegistryView::Force64, kScratch, L"Large", (1ull << 40) + 5);
    registry.SetExpandString(root, RegistryView::Force64, kScratch, L"Expand", L"%SystemRoot%");
    registry.SetString(root, RegistryView::Force32, kScratch, L"Expand", L"plain");
    registry.SetString(root, RegistryView::Force64, kScratch, L"", L"default 64");

    const std::wstring keyPath = L"software\\" + kEntry;
    EXPECT_EQ(Read(keyPath, L"Both"), L"from 64");
    EXPECT_EQ(Read(keyPath, L"only32"), L"Vendor App");
    EXPECT_EQ(Read(keyPath, L"Seven"), L"7");
    EXPECT_EQ(Read(keyPath, L"Large"), L"1099511627781");
    EXPECT_EQ(Read(keyPath, L"Expand"), L"plain") << "an expandable string is passed over";
    EXPECT_EQ(Read(keyPath, L""), L"default 64");
    EXPECT_EQ(Read(keyPath, L"Missing"), L"<nothing>");
    EXPECT_EQ(Read(L"SOFTWARE\\" + kEntry, L"Both"), L"from 32") << "one candidate, in the default view";
    std::wstring out;
    EXPECT_FALSE(cache.ReadText(L"HKEY_LOCAL_MACHINE", keyPath, L"Both", out));
    EXPECT_FALSE(cache.ReadText(L"hklm", keyPath, L"Both", out));
}

TEST_F(RegistryLayerTest, ValueDataComparedByType) {
    registry.SetString(RegistryRoot::CurrentUser, RegistryView::Default, kScratch, L"Name", L"Vendor App");
    registry.SetDword(RegistryRoot::CurrentUser, RegistryView::Default, kScratch, L"Ten", 10);
    registry.SetQword(RegistryRoot::CurrentUser, RegistryView::Default, kScratch, L"Large", (1ull << 40) + 5);
    const auto key =
        offers::OpenFullPath(registry.Port(), L"hkey_current_user\\" + kScratch, offers::ViewFlag::Key64, machine);
    ASSERT_TRUE(key) << key.GetStatus();
    const auto equals = [&](const wchar_t* name, const wchar_t* expected) {
        const auto type = offers::GetValueType(registry.Port(), **key, name);
        return offers::ValueDataEquals(registry.Port(), type, **key, name, expected);
    };
    EXPECT_TRUE(equals(L"Name", L"vendor app"));
    EXPECT_FALSE(equals(L"Name", L"Vendor App"));
    EXPECT_TRUE(equals(L"Ten", L"010"));
    EXPECT_FALSE(equals(L"Ten", L"4294967306"));
    EXPECT_TRUE(equals(L"Large", L"1099511627781"));
    EXPECT_FALSE(equals(L"Missing", L"")) << "no type, nothing read";
    try {
        offers::ValueDataEquals(registry.Port(), platform::kRegDword, **key, L"Name", L"1");
        ADD_FAILURE() << "a string read as a DWORD";
    } catch (const win32::RegistryError& error) {
        EXPECT_STREQ(error.what(), "Cannot read DWORD from registry.");
        EXPECT_EQ(error.Code(), static_cast<std::int32_t>(ERROR_UNSUPPORTED_TYPE));
    }
}

TEST_F(RegistryLayerTest, EnumerationLowerCasesEveryNameShortOrLong) {
    const std::wstring longest(255, L'L');
    for (const auto& name : {std::wstring(L"MixedCase"), std::wstring(L"x"), longest}) {
        registry.CreateKey(RegistryRoot::CurrentUser, RegistryView::Default, kScratch + L"\\Names\\" + name);
    }
    const auto key = registry.Port().OpenKey(RegistryRoot::CurrentUser, kScratch + L"\\Names", RegistryView::Default);
    ASSERT_TRUE(key) << key.GetStatus();
    auto names = offers::EnumerateSubkeys(registry.Port(), **key);
    std::sort(names.begin(), names.end());
    EXPECT_EQ(names, (std::vector<std::wstring>{std::wstring(255, L'l'), L"mixedcase", L"x"}));
}

// Another program may add and remove keys while the checks walk a hive; the walk must neither fail
// nor run past the end. The moving keys sort after the stable ones, so those keep their places and
// every walk must see them all; longer names than the longest announced appear meanwhile too.
TEST_F(RegistryLayerTest, EnumerationSurvivesKeysAddedAndRemovedMeanwhile) {
    const std::wstring churn = kScratch + L"\\Churn";
    for (int i = 0; i < 20; ++i) {
        registry.CreateKey(RegistryRoot::CurrentUser, RegistryView::Default, churn + L"\\Stable" + std::to_wstring(i));
    }
    const auto key = registry.Port().OpenKey(RegistryRoot::CurrentUser, churn, RegistryView::Default);
    ASSERT_TRUE(key) << key.GetStatus();
    std::atomic<bool> stop{false};
    std::thread other([&] {
        for (int round = 0; !stop; ++round) {
            const std::wstring name = L"ZMoving" + std::to_wstring(round % 7) + std::wstring(round % 50, L'm');
            testing::RealRegistryUnderTest::RemoveKey(RegistryRoot::CurrentUser, RegistryView::Default,
                                                      churn + L"\\" + name);
            win32::RegistryKey created;
            (void)::RegCreateKeyExW(HKEY_CURRENT_USER, (churn + L"\\" + name).c_str(), 0, nullptr, 0, KEY_READ, nullptr,
                                    created.Put(), nullptr);
            if (round % 3 == 0) {
                testing::RealRegistryUnderTest::RemoveKey(RegistryRoot::CurrentUser, RegistryView::Default,
                                                          churn + L"\\" + name);
            }
        }
    });
    int failures = 0;
    for (int walk = 0; walk < 150; ++walk) {
        try {
            const auto names = offers::EnumerateSubkeys(registry.Port(), **key);
            for (int i = 0; i < 20; ++i) {
                if (std::find(names.begin(), names.end(), L"stable" + std::to_wstring(i)) == names.end()) ++failures;
            }
        } catch (const win32::RegistryError& error) {
            ADD_FAILURE() << error.what() << " " << error.Code();
            ++failures;
        }
    }
    stop = true;
    other.join();
    EXPECT_EQ(failures, 0);
}

TEST_F(RegistryLayerTest, AppPathsEntriesNamingAnExistingOrAMissingFile) {
    registry.SetString(RegistryRoot::CurrentUser, RegistryView::Default, kAppPaths + kPresentApp, L"", ThisProgram());
    registry.SetString(RegistryRoot::CurrentUser, RegistryView::Default, kAppPaths + kMissingApp, L"",
                       L"C:\\TessaryNowhere\\missing.exe");
    registry.SetString(RegistryRoot::LocalMachine, RegistryView::Force64, kAppPaths + k64BitApp, L"", ThisProgram());

    EXPECT_TRUE(cache.IsAppInstalled(kPresentApp));
    EXPECT_FALSE(cache.IsAppInstalled(kMissingApp));
    EXPECT_FALSE(cache.IsAppInstalled(L"Tessary-Layer-Present.exe")) << "the name is compared exactly";
    EXPECT_TRUE(cache.IsAppInstalled(k64BitApp)) << "the 64-bit view's App Paths are indexed too";
    EXPECT_FALSE(cache.IsAppInstalled(L"tessary-layer-absent.exe"));
}

}  // namespace
}  // namespace tessary
