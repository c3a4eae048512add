#include "offers/registry_paths.h"

#include <algorithm>
#include <cwctype>

namespace tessary::offers {
namespace {

using platform::RegistryRoot;

constexpr std::wstring_view kWow6432Node = L"wow6432node";

bool StartsWith(std::wstring_view text, std::wstring_view prefix) { return text.substr(0, prefix.size()) == prefix; }

// The root name and a backslash at the start of the path.
bool StartsWithRoot(std::wstring_view path, std::wstring_view root) {
    return StartsWith(path, root) && path.size() > root.size() && path[root.size()] == L'\\';
}

// The Software prefix the path begins with, or an empty view.
std::wstring_view SoftwarePrefixOf(std::wstring_view path) {
    for (const auto prefix : SoftwarePrefixes) {
        if (StartsWith(path, prefix)) return prefix;
    }
    return {};
}

}  // namespace

platform::RegistryView RegistryMachine::PortView(ViewFlag flag) const {
    // On 32-bit Windows there is one view and the flag changes nothing.
    if (wow64 && flag == ViewFlag::Key64) return platform::RegistryView::Force64;
    return platform::ShippedProgramDefaultView(wow64);
}

std::optional<RegistryRoot> RootHandle(std::wstring_view fullRootName) {
    static constexpr std::array<RegistryRoot, RootNames.size()> kRoots = {
        RegistryRoot::LocalMachine, RegistryRoot::CurrentUser, RegistryRoot::ClassesRoot, RegistryRoot::Users,
        RegistryRoot::CurrentConfig};
    for (std::size_t i = 0; i < RootNames.size(); ++i) {
        if (RootNames[i] == fullRootName) return kRoots[i];
    }
    return std::nullopt;
}

std::vector<std::wstring> ExpandRegistryPath(const std::wstring& path, const RegistryMachine& machine) {
    if (path.empty()) return {};
    if (StartsWith(path, L"hk")) {
        for (const auto root : RootNames) {
            if (StartsWithRoot(path, root)) return {path};
        }
        for (const auto& [shortName, fullName] : ShortRootNames) {
            if (StartsWithRoot(path, shortName)) return {std::wstring(fullName) + path.substr(shortName.size())};
        }
    }
    std::vector<std::wstring> candidates;
    for (const auto prefix : SoftwarePrefixes) candidates.push_back(std::wstring(prefix) + path);
    if (machine.wow64) {
        for (const auto prefix : Wow6432Prefixes) candidates.push_back(std::wstring(prefix) + path);
    }
    return candidates;
}

bool AdjustRegistryView(std::wstring& path, ViewFlag& view, const RegistryMachine& machine) {
    const auto prefix = SoftwarePrefixOf(path);
    if (prefix.empty()) return false;
    // The third component: what follows "root\software\" up to the next backslash.
    const std::wstring third = LowerCase(SplitAtFirstBackslash(path.substr(prefix.size())).first);
    // Software itself is no key the rules can mean; it counts as absent.
    if (path.size() == prefix.size()) return true;
    if (third == kWow6432Node) {
        if (!machine.wow64) return true;  // 32-bit Windows has no Wow6432Node
        // The default view is the one WOW64 sends to Wow6432Node.
        path.erase(prefix.size(), std::min(path.size() - prefix.size(), kWow6432Node.size() + 1));
        return path.size() == prefix.size();
    }
    if (machine.wow64) view = ViewFlag::Key64;
    return false;
}

std::pair<std::wstring, std::wstring> SplitAtFirstBackslash(const std::wstring& text) {
    const auto at = text.find(L'\\');
    if (at == std::wstring::npos) return {text, {}};
    return {text.substr(0, at), text.substr(at + 1)};
}

std::pair<std::wstring, std::wstring> SplitAtLastBackslash(const std::wstring& text) {
    const auto at = text.rfind(L'\\');
    if (at == std::wstring::npos) return {text, {}};
    return {text.substr(0, at), text.substr(at + 1)};
}

std::wstring LowerCase(std::wstring text) {
    for (auto& c : text) c = static_cast<wchar_t>(std::towlower(static_cast<std::wint_t>(c)));
    return text;
}

}  // namespace tessary::offers
