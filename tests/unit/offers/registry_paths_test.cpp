#include "offers/registry_paths.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace tessary {
namespace {

using offers::RegistryMachine;
using offers::ViewFlag;
using platform::RegistryView;
using Paths = std::vector<std::wstring>;

constexpr RegistryMachine kWindows32{false};
constexpr RegistryMachine kWindows64{true};

TEST(ExpandRegistryPath, ARootedEntryIsTheOnlyCandidate) {
    for (const auto& machine : {kWindows32, kWindows64}) {
        EXPECT_EQ(offers::ExpandRegistryPath(L"hklm\\software\\a", machine), Paths{L"hkey_local_machine\\software\\a"});
        EXPECT_EQ(offers::ExpandRegistryPath(L"hkcu\\x", machine), Paths{L"hkey_current_user\\x"});
        EXPECT_EQ(offers::ExpandRegistryPath(L"hkcr\\.txt", machine), Paths{L"hkey_classes_root\\.txt"});
        EXPECT_EQ(offers::ExpandRegistryPath(L"hku\\s-1-5-18", machine), Paths{L"hkey_users\\s-1-5-18"});
        EXPECT_EQ(offers::ExpandRegistryPath(L"hkcc\\system", machine), Paths{L"hkey_current_config\\system"});
        EXPECT_EQ(offers::ExpandRegistryPath(L"hkey_users\\s-1-5-18", machine), Paths{L"hkey_users\\s-1-5-18"});
        EXPECT_EQ(offers::ExpandRegistryPath(L"hkey_local_machine\\software\\wow6432node\\a", machine),
                  Paths{L"hkey_local_machine\\software\\wow6432node\\a"});
        EXPECT_EQ(offers::ExpandRegistryPath(L"hklm\\", machine), Paths{L"hkey_local_machine\\"});
        EXPECT_EQ(offers::ExpandRegistryPath(L"", machine), Paths{});
    }
}

TEST(ExpandRegistryPath, ARelativeEntryGoesUnderEachSoftwarePrefixAndOn64BitWindowsUnderWow6432Node) {
    EXPECT_EQ(offers::ExpandRegistryPath(L"a\\b", kWindows32),
              (Paths{L"hkey_local_machine\\software\\a\\b", L"hkey_current_user\\software\\a\\b"}));
    EXPECT_EQ(
        offers::ExpandRegistryPath(L"a\\b", kWindows64),
        (Paths{L"hkey_local_machine\\software\\a\\b", L"hkey_current_user\\software\\a\\b",
               L"hkey_local_machine\\software\\wow6432node\\a\\b", L"hkey_current_user\\software\\wow6432node\\a\\b"}));
    // Only a root name followed by a backslash counts as one, and only in lower case.
    for (const std::wstring entry : {L"hkey_foo\\a", L"hklm", L"hkey_users", L"HKLM\\a", L"hklmx\\a", L"d"}) {
        const auto candidates = offers::ExpandRegistryPath(entry, kWindows32);
        EXPECT_EQ(candidates,
                  (Paths{L"hkey_local_machine\\software\\" + entry, L"hkey_current_user\\software\\" + entry}));
    }
}

// What AdjustRegistryView makes of a path on one machine.
struct Adjusted {
    std::wstring path;
    ViewFlag view;
    bool absent;
    bool operator==(const Adjusted&) const = default;
};

Adjusted Adjust(std::wstring path, const RegistryMachine& machine) {
    ViewFlag view = ViewFlag::Default;
    const bool absent = offers::AdjustRegistryView(path, view, machine);
    return {path, view, absent};
}

TEST(AdjustRegistryView, SoftwareKeysOf64BitWindowsAreReadInThe64BitView) {
    const std::wstring vendor = L"hkey_local_machine\\software\\vendor";
    EXPECT_EQ(Adjust(vendor, kWindows64), (Adjusted{vendor, ViewFlag::Key64, false}));
    EXPECT_EQ(Adjust(vendor, kWindows32), (Adjusted{vendor, ViewFlag::Default, false}));
    const std::wstring user = L"hkey_current_user\\software\\vendor\\app";
    EXPECT_EQ(Adjust(user, kWindows64), (Adjusted{user, ViewFlag::Key64, false}));
    // Outside the Software prefixes (other roots, or not the exact lower-case prefix) nothing changes.
    for (const std::wstring other : {L"hkey_classes_root\\.txt", L"hkey_local_machine\\SOFTWARE\\vendor",
                                     L"hkey_local_machine\\software", L"hkey_users\\software\\vendor", L"d", L""}) {
        EXPECT_EQ(Adjust(other, kWindows64), (Adjusted{other, ViewFlag::Default, false}));
    }
}

TEST(AdjustRegistryView, AWow6432NodeKeyIsThePlainKeyOfTheDefaultViewAndAbsentOn32BitWindows) {
    EXPECT_EQ(Adjust(L"hkey_local_machine\\software\\wow6432node\\vendor", kWindows64),
              (Adjusted{L"hkey_local_machine\\software\\vendor", ViewFlag::Default, false}));
    EXPECT_EQ(Adjust(L"hkey_current_user\\software\\Wow6432Node\\Vendor\\App", kWindows64),
              (Adjusted{L"hkey_current_user\\software\\Vendor\\App", ViewFlag::Default, false}));
    EXPECT_TRUE(Adjust(L"hkey_local_machine\\software\\wow6432node\\vendor", kWindows32).absent);
    EXPECT_TRUE(Adjust(L"hkey_local_machine\\software\\WOW6432NODE\\vendor", kWindows32).absent);
    // Only the third component counts: a later wow6432node stays where it is.
    const std::wstring later = L"hkey_local_machine\\software\\vendor\\wow6432node\\x";
    EXPECT_EQ(Adjust(later, kWindows64), (Adjusted{later, ViewFlag::Key64, false}));
    EXPECT_EQ(Adjust(later, kWindows32), (Adjusted{later, ViewFlag::Default, false}));
}

TEST(AdjustRegistryView, SoftwareItselfIsNoKeyARuleCanName) {
    for (const auto& machine : {kWindows32, kWindows64}) {
        for (const std::wstring path :
             {L"hkey_local_machine\\software\\", L"hkey_current_user\\software\\",
              L"hkey_local_machine\\software\\wow6432node", L"hkey_local_machine\\software\\wow6432node\\"}) {
            EXPECT_TRUE(Adjust(path, machine).absent) << path;
        }
    }
}

TEST(RegistryMachine, A64BitBuildNamesThe32BitViewWhereTheShippedProgramUsesItsDefault) {
    EXPECT_EQ(kWindows64.PortView(ViewFlag::Default), RegistryView::Force32);
    EXPECT_EQ(kWindows64.PortView(ViewFlag::Key64), RegistryView::Force64);
    EXPECT_EQ(kWindows32.PortView(ViewFlag::Default), RegistryView::Default);
    EXPECT_EQ(kWindows32.PortView(ViewFlag::Key64), RegistryView::Default);
}

TEST(RootHandle, OnlyFullLowerCaseRootNames) {
    EXPECT_EQ(offers::RootHandle(L"hkey_local_machine"), platform::RegistryRoot::LocalMachine);
    EXPECT_EQ(offers::RootHandle(L"hkey_current_user"), platform::RegistryRoot::CurrentUser);
    EXPECT_EQ(offers::RootHandle(L"hkey_classes_root"), platform::RegistryRoot::ClassesRoot);
    EXPECT_EQ(offers::RootHandle(L"hkey_users"), platform::RegistryRoot::Users);
    EXPECT_EQ(offers::RootHandle(L"hkey_current_config"), platform::RegistryRoot::CurrentConfig);
    for (const wchar_t* other : {L"hklm", L"HKEY_LOCAL_MACHINE", L"utr", L"", L"hkey_local_machine\\"}) {
        EXPECT_EQ(offers::RootHandle(other), std::nullopt) << other;
    }
}

TEST(SplitAtBackslash, HeadAndTailAroundTheFirstOrLastBackslash) {
    using Split = std::pair<std::wstring, std::wstring>;
    EXPECT_EQ(offers::SplitAtFirstBackslash(L"a\\b\\c"), (Split{L"a", L"b\\c"}));
    EXPECT_EQ(offers::SplitAtLastBackslash(L"a\\b\\c"), (Split{L"a\\b", L"c"}));
    EXPECT_EQ(offers::SplitAtLastBackslash(L"hklm\\x"), (Split{L"hklm", L"x"}));
    EXPECT_EQ(offers::SplitAtFirstBackslash(L"\\"), (Split{L"", L""}));
    EXPECT_EQ(offers::SplitAtFirstBackslash(L"d"), (Split{L"d", L""}));
    EXPECT_EQ(offers::SplitAtLastBackslash(L"d"), (Split{L"d", L""}));
}

}  // namespace
}  // namespace tessary
