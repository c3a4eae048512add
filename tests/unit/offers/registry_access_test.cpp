#include "offers/registry_access.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "fake_registry.h"
#include "fake_system.h"
#include "offers/registry_error.h"
#include "registry_machines.h"

namespace tessary {
namespace {

using platform::RegistryRoot;
using platform::RegistryView;
using testing::FakeRegistry;

constexpr platform::Status kAccessDenied = 5;
constexpr platform::Status kUnsupportedType = 1630;
const std::wstring kKey = L"Software\\Vendor";

// The message and code a call throws, or "" when it returns.
template <typename Call>
std::pair<std::string, std::int32_t> Thrown(Call call) {
    try {
        call();
    } catch (const win32::RegistryError& error) {
        return {error.what(), error.Code()};
    }
    return {"", 0};
}

class RegistryAccessTest : public ::testing::Test {
protected:
    RegistryAccessTest() {
        registry.SetString(RegistryRoot::CurrentUser, kKey, L"Name", L"Vendor App");
        registry.SetString(RegistryRoot::CurrentUser, kKey, L"", L"default text");
        registry.SetString(RegistryRoot::CurrentUser, kKey + L"\\Sub", L"Inner", L"inner text");
        registry.SetExpandString(RegistryRoot::CurrentUser, kKey, L"Expand", L"%TEMP%");
        registry.SetDword(RegistryRoot::CurrentUser, kKey, L"Ten", 10);
        registry.SetQword(RegistryRoot::CurrentUser, kKey, L"Large", (1ull << 40) + 5);
        registry.SetValue(RegistryRoot::CurrentUser, kKey, L"Binary", {platform::kRegBinary, {}, 0});
    }

    const platform::OpenRegistryKey& Key() {
        if (!m_key) m_key = std::move(registry.OpenKey(RegistryRoot::CurrentUser, kKey, RegistryView::Default)).Value();
        return *m_key;
    }
    bool Equals(platform::RegistryType type, const std::wstring& name, const std::wstring& expected) {
        return offers::ValueDataEquals(registry, type, Key(), name, expected);
    }

    FakeRegistry registry;

private:
    platform::RegistryKeyPtr m_key;
};

TEST_F(RegistryAccessTest, SubkeysComeBackLowerCasedAndAFailedEnumerationSaysWhichStepFailed) {
    registry.CreateKey(RegistryRoot::CurrentUser, kKey + L"\\MixedCase");
    EXPECT_EQ(offers::EnumerateSubkeys(registry, Key()), (std::vector<std::wstring>{L"mixedcase", L"sub"}));

    registry.FailKey(RegistryRoot::CurrentUser, kKey, {.queryInfo = kAccessDenied});
    EXPECT_EQ(Thrown([&] { offers::EnumerateSubkeys(registry, Key()); }),
              std::make_pair(std::string("RegQueryInfoKey failed while preparing for subkey enumeration."), 5));
    registry.FailKey(RegistryRoot::CurrentUser, kKey, {.enumerate = kAccessDenied});
    EXPECT_EQ(Thrown([&] { offers::EnumerateSubkeys(registry, Key()); }),
              std::make_pair(std::string("Cannot enumerate subkeys: RegEnumKeyEx failed."), 5));
}

TEST_F(RegistryAccessTest, StringsOfTheKeyOrItsSubkeyAndTheDefaultValue) {
    EXPECT_EQ(offers::ReadRegistryString(registry, Key(), L"", L"Name"), L"Vendor App");
    EXPECT_EQ(offers::ReadRegistryString(registry, Key(), L"", L""), L"default text");
    EXPECT_EQ(offers::ReadRegistryString(registry, Key(), L"Sub", L"Inner"), L"inner text");
    EXPECT_EQ(Thrown([&] { offers::ReadRegistryString(registry, Key(), L"", L"Missing"); }),
              std::make_pair(std::string("Cannot read string from registry"), 2));
    EXPECT_EQ(Thrown([&] { offers::ReadRegistryString(registry, Key(), L"", L"Ten"); }),
              std::make_pair(std::string("Cannot read string from registry"), 1630));
}

TEST_F(RegistryAccessTest, ValueExistsAndItsTypeWhateverTheTypeAndNothingOnFailure) {
    for (const auto& [name, type] :
         std::vector<std::pair<std::wstring, platform::RegistryType>>{{L"Name", platform::kRegSz},
                                                                      {L"", platform::kRegSz},
                                                                      {L"Expand", platform::kRegExpandSz},
                                                                      {L"Ten", platform::kRegDword},
                                                                      {L"Large", platform::kRegQword},
                                                                      {L"Binary", platform::kRegBinary}}) {
        EXPECT_TRUE(offers::ValueExists(registry, Key(), name));
        EXPECT_EQ(offers::GetValueType(registry, Key(), name), type);
    }
    EXPECT_FALSE(offers::ValueExists(registry, Key(), L"Missing"));
    EXPECT_EQ(offers::GetValueType(registry, Key(), L"Missing"), platform::kRegNone);

    registry.FailKey(RegistryRoot::CurrentUser, kKey, {.read = kAccessDenied});
    EXPECT_FALSE(offers::ValueExists(registry, Key(), L"Name"));
    EXPECT_EQ(offers::GetValueType(registry, Key(), L"Name"), platform::kRegNone);
}

TEST_F(RegistryAccessTest, StringDataIsComparedLowerCasedWithTheExpectedTextAsGiven) {
    EXPECT_TRUE(Equals(platform::kRegSz, L"Name", L"vendor app"));
    EXPECT_FALSE(Equals(platform::kRegSz, L"Name", L"Vendor App")) << "the expected text is not lower-cased";
    EXPECT_FALSE(Equals(platform::kRegSz, L"Name", L"vendor"));
    EXPECT_FALSE(Equals(platform::kRegSz, L"Name", L"vendor app "));
    EXPECT_TRUE(Equals(platform::kRegSz, L"", L"default text"));
}

TEST_F(RegistryAccessTest, NumbersAreComparedWithTheExpectedTextReadAsADecimalNumber) {
    for (const wchar_t* ten : {L"10", L"010", L" 10", L"+10", L"10 units"}) {
        EXPECT_TRUE(Equals(platform::kRegDword, L"Ten", ten)) << ten;
    }
    // Texts that hold no number, or one that does not fit, never equal; on no build does a number
    // wrap round to 10.
    for (const wchar_t* other : {L"11", L"", L"ten", L"-10", L"0x0a", L"4294967306", L"18446744073709551626"}) {
        EXPECT_FALSE(Equals(platform::kRegDword, L"Ten", other)) << other;
    }
    EXPECT_TRUE(Equals(platform::kRegQword, L"Large", L"1099511627781"));
    EXPECT_TRUE(Equals(platform::kRegQword, L"Large", L"0001099511627781"));
    for (const wchar_t* other : {L"5", L"1099511627781000000000", L"large", L"-1099511627781"}) {
        EXPECT_FALSE(Equals(platform::kRegQword, L"Large", other)) << other;
    }
    registry.SetQword(RegistryRoot::CurrentUser, kKey, L"Largest", ~0ull);
    EXPECT_TRUE(Equals(platform::kRegQword, L"Largest", L"18446744073709551615"));
    EXPECT_FALSE(Equals(platform::kRegQword, L"Largest", L"18446744073709551616"));
}

TEST_F(RegistryAccessTest, OtherTypesNeverEqualAndAFailedReadThrows) {
    EXPECT_FALSE(Equals(platform::kRegExpandSz, L"Expand", L"%temp%"));
    EXPECT_FALSE(Equals(platform::kRegBinary, L"Binary", L""));
    EXPECT_FALSE(Equals(platform::kRegNone, L"Missing", L""));

    // The type the caller asked for no longer matches the value, or the value is gone.
    EXPECT_EQ(Thrown([&] { Equals(platform::kRegDword, L"Name", L"1"); }),
              std::make_pair(std::string("Cannot read DWORD from registry."), 1630));
    EXPECT_EQ(Thrown([&] { Equals(platform::kRegQword, L"Ten", L"10"); }),
              std::make_pair(std::string("Cannot read QWORD from registry."), 1630));
    EXPECT_EQ(Thrown([&] { Equals(platform::kRegSz, L"Missing", L""); }),
              std::make_pair(std::string("Cannot read string from registry"), 2));
    // The value is read before the expected text is looked at.
    EXPECT_EQ(Thrown([&] { Equals(platform::kRegDword, L"Missing", L"not a number"); }).first,
              "Cannot read DWORD from registry.");
}

TEST(IsWow64, AnySixtyFourBitWindowsWhateverTheWidthOfThisProcess) {
    testing::FakeSystem system;
    EXPECT_FALSE(offers::IsWow64(system));
    system.wow64 = true;
    EXPECT_TRUE(offers::IsWow64(system));
    system.wow64 = false;
    system.windows64 = true;
    EXPECT_TRUE(offers::IsWow64(system));
}

// Plain paths are opened in the shipped program's default view, whichever build asks.
class PlainKeyTest : public ::testing::TestWithParam<FakeRegistry::Machine> {
protected:
    PlainKeyTest() {
        registry.machine = GetParam();
        registry.CreateKey(RegistryRoot::LocalMachine, L"Software\\Only64", RegistryView::Force64);
        registry.CreateKey(RegistryRoot::LocalMachine, L"Software\\Only32", RegistryView::Force32);
        registry.CreateKey(RegistryRoot::ClassesRoot, L".txt");
    }
    bool Exists(const std::wstring& path) { return offers::PlainKeyExists(registry, path, machine); }

    FakeRegistry registry;
    offers::RegistryMachine machine{GetParam() != FakeRegistry::Machine::Windows32};
};

TEST_P(PlainKeyTest, FullPathsInTheDefaultViewOfTheShippedProgram) {
    const bool windows32 = GetParam() == FakeRegistry::Machine::Windows32;
    EXPECT_TRUE(Exists(L"hkey_classes_root\\.txt"));
    EXPECT_TRUE(Exists(L"hkey_classes_root\\.TXT"));
    EXPECT_TRUE(Exists(L"hkey_local_machine\\SOFTWARE\\Only32"));
    EXPECT_EQ(Exists(L"hkey_local_machine\\SOFTWARE\\Only64"), windows32);
    EXPECT_FALSE(Exists(L"hkey_classes_root\\.missing"));
}

TEST_P(PlainKeyTest, NoKeyForAPathWithoutAFullRootName) {
    for (const wchar_t* path : {L"hklm\\software\\only32", L"HKEY_CLASSES_ROOT\\.txt", L"utr\\.txt", L"d",
                                L"hkey_classes_root", L"\\.txt", L""}) {
        EXPECT_FALSE(Exists(path)) << path;
        EXPECT_TRUE(offers::OpenFullPath(registry, path, offers::ViewFlag::Key64, machine).NotFound()) << path;
    }
}

TEST_P(PlainKeyTest, OpenFullPathOpensInTheViewItIsGiven) {
    const bool windows32 = GetParam() == FakeRegistry::Machine::Windows32;
    const auto open = [&](const wchar_t* path, offers::ViewFlag view) {
        return offers::OpenFullPath(registry, path, view, machine).Ok();
    };
    EXPECT_TRUE(open(L"hkey_local_machine\\software\\only64", offers::ViewFlag::Key64));
    EXPECT_EQ(open(L"hkey_local_machine\\software\\only32", offers::ViewFlag::Key64), windows32);
    EXPECT_TRUE(open(L"hkey_local_machine\\software\\only32", offers::ViewFlag::Default));
    EXPECT_EQ(open(L"hkey_local_machine\\software\\only64", offers::ViewFlag::Default), windows32);
}

INSTANTIATE_TEST_SUITE_P(EachMachine, PlainKeyTest, testing::kEveryRegistryMachine, testing::RegistryMachineName);

}  // namespace
}  // namespace tessary
