#include "registry_contract.h"

#include <algorithm>
#include <vector>

namespace tessary::testing {
namespace {

using platform::RegistryRoot;
using platform::RegistryView;
using Machine = FakeRegistry::Machine;

constexpr platform::Status kMoreData = 234;
constexpr platform::Status kUnsupportedType = 1630;

std::wstring Scratch(const std::wstring& below = L"") {
    return std::wstring(L"Software\\") + kScratchKey + (below.empty() ? L"" : L"\\" + below);
}

std::string Narrow(const std::wstring& ascii) { return std::string(ascii.begin(), ascii.end()); }

}  // namespace

// HKCU\Software is the same in every view, so these hold on every machine.
void ExpectNamesIgnoreCaseAndKeepTheirSpelling(RegistryUnderTest& registry) {
    auto& port = registry.Port();
    registry.SetString(RegistryRoot::CurrentUser, RegistryView::Default, Scratch(L"MixedCase"), L"ValueName", L"text");

    const auto key = port.OpenKey(RegistryRoot::CurrentUser, L"SOFTWARE\\" + std::wstring(kScratchKey) + L"\\MIXEDCASE",
                                  RegistryView::Default);
    ASSERT_TRUE(key) << key.GetStatus();
    EXPECT_EQ(port.ReadString(**key, L"", L"VALUENAME").ValueOr(L"<failed>"), L"text");
    EXPECT_EQ(port.GetValueType(**key, L"valuename").ValueOr(0), platform::kRegSz);

    const auto parent =
        port.OpenKey(RegistryRoot::CurrentUser, L"software\\tessaryregistrycontract", RegistryView::Default);
    ASSERT_TRUE(parent) << parent.GetStatus();
    EXPECT_EQ(port.EnumerateSubkeys(**parent).names.ValueOr({}), std::vector<std::wstring>{L"MixedCase"})
        << "names come back as they were written";
    EXPECT_TRUE(port.OpenSubkey(**parent, L"mixedCASE", RegistryView::Default));
    EXPECT_EQ(port.ReadString(**parent, L"mixedcase", L"valuename").ValueOr(L"<failed>"), L"text");
    EXPECT_TRUE(port.TestKey(RegistryRoot::CurrentUser, Scratch(L"mixedcase"), RegistryView::Default));
}

void ExpectTypedValuesReadOnlyAsTheirType(RegistryUnderTest& registry) {
    auto& port = registry.Port();
    const auto root = RegistryRoot::CurrentUser;
    const auto view = RegistryView::Default;
    constexpr std::uint64_t kLarge = (1ull << 40) + 5;
    registry.SetString(root, view, Scratch(), L"sz", L"plain");
    registry.SetString(root, view, Scratch(), L"", L"default");
    registry.SetExpandString(root, view, Scratch(), L"expand", L"C:\\Tessary");
    registry.SetDword(root, view, Scratch(), L"dword", 7);
    registry.SetQword(root, view, Scratch(), L"qword", kLarge);

    const auto key = port.OpenKey(root, Scratch(), view);
    ASSERT_TRUE(key) << key.GetStatus();
    EXPECT_EQ(port.GetValueType(**key, L"sz").ValueOr(0), platform::kRegSz);
    EXPECT_EQ(port.GetValueType(**key, L"").ValueOr(0), platform::kRegSz);
    EXPECT_EQ(port.GetValueType(**key, L"expand").ValueOr(0), platform::kRegExpandSz);
    EXPECT_EQ(port.GetValueType(**key, L"dword").ValueOr(0), platform::kRegDword);
    EXPECT_EQ(port.GetValueType(**key, L"qword").ValueOr(0), platform::kRegQword);

    EXPECT_EQ(port.ReadString(**key, L"", L"sz").ValueOr(L"<failed>"), L"plain");
    EXPECT_EQ(port.ReadString(**key, L"", L"").ValueOr(L"<failed>"), L"default") << "the key's default value";
    EXPECT_EQ(port.ReadExpandString(**key, L"expand").ValueOr(L"<failed>"), L"C:\\Tessary");
    // Read as REG_SZ an expandable value comes back expanded; this one has nothing to expand.
    EXPECT_EQ(port.ReadString(**key, L"", L"expand").ValueOr(L"<failed>"), L"C:\\Tessary");
    EXPECT_EQ(port.ReadDword(**key, L"dword").ValueOr(0), 7u);
    EXPECT_EQ(port.ReadQword(**key, L"qword").ValueOr(0), kLarge);

    // Asked for as another type, a value is a failure, not an absence.
    for (const auto& wrong : {port.ReadDword(**key, L"sz").GetStatus(), port.ReadDword(**key, L"qword").GetStatus(),
                              port.ReadQword(**key, L"dword").GetStatus()}) {
        EXPECT_EQ(wrong, kUnsupportedType);
    }
    const auto dwordAsText = port.ReadString(**key, L"", L"dword");
    EXPECT_TRUE(dwordAsText.Failed());
    EXPECT_EQ(dwordAsText.GetStatus(), kUnsupportedType);
    EXPECT_EQ(port.ReadExpandString(**key, L"sz").GetStatus(), kUnsupportedType);

    // The narrow read copies the bytes as stored, and needs room for them.
    const auto narrow = port.QueryValueNarrow(root, Narrow(Scratch()), "sz", view, 16);
    ASSERT_TRUE(narrow) << narrow.GetStatus();
    EXPECT_EQ(std::string(narrow->begin(), narrow->end()), std::string("plain", 6));
    EXPECT_EQ(port.QueryValueNarrow(root, Narrow(Scratch()), "dword", view, 4).ValueOr({}),
              (std::vector<std::uint8_t>{7, 0, 0, 0}));
    EXPECT_EQ(port.QueryValueNarrow(root, Narrow(Scratch()), "sz", view, 3).GetStatus(), kMoreData);
}

void ExpectAbsenceApartFromFailure(RegistryUnderTest& registry) {
    auto& port = registry.Port();
    const auto root = RegistryRoot::CurrentUser;
    const auto view = RegistryView::Default;
    registry.SetString(root, view, Scratch(), L"present", L"x");

    const auto missingKey = port.OpenKey(root, Scratch(L"absent\\deeper"), view);
    EXPECT_TRUE(missingKey.NotFound()) << missingKey.GetStatus();
    EXPECT_FALSE(missingKey.Failed());
    EXPECT_TRUE(port.TestKey(root, Scratch(L"absent"), view).NotFound());
    EXPECT_TRUE(port.QueryValueNarrow(root, Narrow(Scratch(L"absent")), "present", view, 8).NotFound());

    const auto key = port.OpenKey(root, Scratch(), view);
    ASSERT_TRUE(key) << key.GetStatus();
    EXPECT_TRUE(port.GetValueType(**key, L"absent").NotFound());
    EXPECT_TRUE(port.ReadString(**key, L"", L"absent").NotFound());
    EXPECT_TRUE(port.ReadString(**key, L"absent", L"present").NotFound()) << "below a missing subkey";
    EXPECT_TRUE(port.ReadDword(**key, L"absent").NotFound());
    EXPECT_TRUE(port.OpenSubkey(**key, L"absent", view).NotFound());
    EXPECT_EQ(port.EnumerateSubkeys(**key).names.ValueOr({L"<failed>"}), std::vector<std::wstring>{});
}

// A 32-bit process on 64-bit Windows sees HKLM\Software\Wow6432Node as HKLM\Software unless it
// asks for the 64-bit view; a 64-bit process sees it so only when it asks for the 32-bit view;
// 32-bit Windows has one view and ignores the flags.
void ExpectSoftwareOfTheThirtyTwoBitViewUnderWow6432Node(RegistryUnderTest& registry) {
    auto& port = registry.Port();
    const Machine machine = registry.GetMachine();
    const bool wow64 = machine == Machine::Wow64Process;
    const bool process64 = machine == Machine::Process64;
    const auto root = RegistryRoot::LocalMachine;

    // The port's own write goes to the view it names; without one, to the process's default view.
    ASSERT_TRUE(port.WriteDword(root, Scratch(), RegistryView::Default, L"v", 7));
    const auto sees = [&](const std::wstring& path, RegistryView view) {
        return port.QueryValueNarrow(root, Narrow(path), "v", view, 4).Ok();
    };
    EXPECT_TRUE(sees(Scratch(), RegistryView::Default));
    EXPECT_EQ(sees(Scratch(), RegistryView::Force32), !process64);
    EXPECT_EQ(sees(Scratch(), RegistryView::Force64), !wow64);
    EXPECT_EQ(sees(L"Software\\Wow6432Node\\" + std::wstring(kScratchKey), RegistryView::Force64), wow64);
    ASSERT_TRUE(port.WriteDword(root, Scratch(L"Written32"), RegistryView::Force32, L"v", 7));
    EXPECT_TRUE(sees(Scratch(L"Written32"), RegistryView::Force32));
    EXPECT_EQ(sees(Scratch(L"Written32"), RegistryView::Force64), machine == Machine::Windows32);

    // Written in the 64-bit view, a key is out of a WOW64 process's sight unless it asks for that view.
    registry.SetString(root, RegistryView::Force64, Scratch(L"Only64"), L"name", L"text");
    EXPECT_TRUE(port.TestKey(root, Scratch(L"Only64"), RegistryView::Force64));
    EXPECT_EQ(port.TestKey(root, Scratch(L"Only64"), RegistryView::Default).Ok(), !wow64);
    EXPECT_EQ(port.TestKey(root, Scratch(L"only64"), RegistryView::Force32).Ok(), machine == Machine::Windows32);

    // A key opened in a view keeps it for what is read below it.
    const auto software = port.OpenKey(root, L"Software", RegistryView::Force64);
    ASSERT_TRUE(software) << software.GetStatus();
    EXPECT_EQ(port.ReadString(**software, std::wstring(kScratchKey) + L"\\Only64", L"name").ValueOr(L"<failed>"),
              L"text");
    const auto names = port.EnumerateSubkeys(**software).names.ValueOr({});
    EXPECT_NE(std::find(names.begin(), names.end(), kScratchKey), names.end());
}

}  // namespace tessary::testing
