#pragma once
// The notation in which rule entries name registry keys ("hklm\software\vendor", "vendor\app"),
// its expansion into full key paths and the choice of registry view. Nothing here touches the
// registry.
//
// The shipped program is a 32-bit process. On 64-bit Windows it sees two registry views: its
// default one, where HKLM\Software is redirected to Wow6432Node, and the 64-bit one. The rules
// are written for that program, so a 64-bit build of the same sources must ask for the same
// keys: it names the 32-bit view where the shipped program uses its default.
#include <array>
#include <optional>
#include <string>
#include <string_view>
#include <utility>
#include <vector>

#include "platform/registry_port.h"

namespace tessary::offers {

// The two views the rules speak of: the shipped program's default one, and the 64-bit one
// (KEY_WOW64_64KEY) on 64-bit Windows.
enum class ViewFlag { Default, Key64 };

// The machine as the rules see it.
struct RegistryMachine {
    // 64-bit Windows: the rules call this "WOW64", since the shipped program runs there under it.
    bool wow64 = false;

    // The port's view that stands for a flag on this machine.
    platform::RegistryView PortView(ViewFlag flag) const;
};

inline constexpr std::array<std::wstring_view, 5> RootNames = {
    L"hkey_local_machine", L"hkey_current_user", L"hkey_classes_root", L"hkey_users", L"hkey_current_config"};

// Short root name → full root name, in ascending order of the short name.
inline constexpr std::array<std::pair<std::wstring_view, std::wstring_view>, 5> ShortRootNames = {{
    {L"hkcc", L"hkey_current_config"},
    {L"hkcr", L"hkey_classes_root"},
    {L"hkcu", L"hkey_current_user"},
    {L"hklm", L"hkey_local_machine"},
    {L"hku", L"hkey_users"},
}};

inline constexpr std::array<std::wstring_view, 2> SoftwarePrefixes = {L"hkey_local_machine\\software\\",
                                                                      L"hkey_current_user\\software\\"};
inline constexpr std::array<std::wstring_view, 2> Wow6432Prefixes = {
    L"hkey_local_machine\\software\\wow6432node\\", L"hkey_current_user\\software\\wow6432node\\"};

// The root a full root name stands for (exact, lower-case comparison); nothing for any other text.
std::optional<platform::RegistryRoot> RootHandle(std::wstring_view fullRootName);

// The full key paths a rule entry stands for, in the order they are tried: the entry alone when
// it begins with a root name, otherwise the entry under each Software prefix (two candidates), and
// on 64-bit Windows also under each Wow6432Node prefix (four).
std::vector<std::wstring> ExpandRegistryPath(const std::wstring& path, const RegistryMachine& machine);

// Chooses the view for a full path under a Software prefix, rewriting a Wow6432Node path to the
// plain path read in the default view. True when the key cannot exist on this machine (a
// Wow6432Node key on 32-bit Windows), or names no key below Software ("hkey_local_machine\software\").
bool AdjustRegistryView(std::wstring& path, ViewFlag& view, const RegistryMachine& machine);

// Head and tail around the first (last) backslash; a text without one gives (text, "").
std::pair<std::wstring, std::wstring> SplitAtFirstBackslash(const std::wstring& text);
std::pair<std::wstring, std::wstring> SplitAtLastBackslash(const std::wstring& text);

// Lower-cases character by character, the way rule entries are compared.
std::wstring LowerCase(std::wstring text);

}  // namespace tessary::offers
