#include "offers/registry_cache.h"

#include <algorithm>
#include <optional>

#include "offers/registry_access.h"
#include "offers/registry_error.h"

namespace tessary::offers {
namespace {

using platform::RegistryRoot;

constexpr std::wstring_view kAppPathsKey = L"SOFTWARE\\Microsoft\\Windows\\CurrentVersion\\App Paths";

bool StartsWith(std::wstring_view text, std::wstring_view prefix) { return text.substr(0, prefix.size()) == prefix; }

bool HasSoftwarePrefix(const std::wstring& path) {
    return std::any_of(SoftwarePrefixes.begin(), SoftwarePrefixes.end(),
                       [&](std::wstring_view prefix) { return StartsWith(path, prefix); });
}

// A value as text: a string as stored, a number in decimal digits; nothing for other types and
// for a value that cannot be read.
std::optional<std::wstring> ValueAsText(const platform::RegistryPort& registry, const platform::OpenRegistryKey& key,
                                        const std::wstring& name) {
    switch (GetValueType(registry, key, name)) {
        case platform::kRegSz:
            if (auto text = registry.ReadString(key, L"", name)) return std::move(text).Value();
            break;
        case platform::kRegDword:
            if (const auto number = registry.ReadDword(key, name)) return std::to_wstring(*number);
            break;
        case platform::kRegQword:
            if (const auto number = registry.ReadQword(key, name)) return std::to_wstring(*number);
            break;
        default:
            break;
    }
    return std::nullopt;
}

}  // namespace

RegistryCache::RegistryCache(const platform::RegistryPort& registry, const platform::FileSystemPort& files,
                             RegistryMachine machine)
    : m_registry(registry), m_files(files), m_machine(machine) {}

bool RegistryCache::KeyExists(const std::wstring& path) {
    if (HasSoftwarePrefix(path)) return SoftwareKeyExists(path);
    return PlainKeyExists(m_registry, path, m_machine);
}

// Rules test many keys under the same Software hive, most of them for software that is not there.
// The hive's first level is read once per root and view; a key whose first component is not in it
// is answered without opening anything.
bool RegistryCache::SoftwareKeyExists(const std::wstring& path) {
    std::wstring work = path;
    ViewFlag view = ViewFlag::Default;
    if (AdjustRegistryView(work, view, m_machine)) return false;

    // The path begins with a Software prefix, so its root name is a known one.
    const auto [rootName, belowRoot] = SplitAtFirstBackslash(path);
    const std::wstring software = SplitAtFirstBackslash(belowRoot).first;
    const std::wstring hive = rootName + L"\\" + software;
    SubkeyList& list = m_softwareSubkeys[{*RootHandle(rootName), view, software}];
    if (!list.loaded) {
        const auto key = OpenFullPath(m_registry, hive, view, m_machine);
        if (!key) return false;
        try {
            list.names = EnumerateSubkeys(m_registry, **key);
        } catch (const win32::RegistryError&) {
            return false;  // asked again next time
        }
        std::sort(list.names.begin(), list.names.end());
        list.loaded = true;
    }

    // The registry compares names without regard to case, and so does this test.
    const std::wstring first = LowerCase(SplitAtFirstBackslash(work.substr(hive.size() + 1)).first);
    if (!std::binary_search(list.names.begin(), list.names.end(), first)) return false;
    return OpenFullPath(m_registry, work, view, m_machine).Ok();
}

bool RegistryCache::ReadText(const std::wstring& rootName, const std::wstring& keyPath, const std::wstring& valueName,
                             std::wstring& out) {
    std::vector<std::wstring> candidates{rootName + L"\\" + keyPath};
    constexpr std::wstring_view kSoftware = L"software";
    if (m_machine.wow64 && StartsWith(keyPath, kSoftware)) {
        candidates.push_back(rootName + L"\\software\\wow6432node" + keyPath.substr(kSoftware.size()));
    }
    for (auto& candidate : candidates) {
        if (!KeyExists(candidate)) continue;
        ViewFlag view = ViewFlag::Default;
        if (AdjustRegistryView(candidate, view, m_machine)) continue;
        const auto key = OpenFullPath(m_registry, candidate, view, m_machine);
        if (!key) continue;
        if (auto text = ValueAsText(m_registry, **key, valueName)) {
            out = std::move(*text);
            return true;
        }
    }
    return false;
}

bool RegistryCache::IsAppInstalled(const std::wstring& name) {
    BuildAppPaths();
    const auto [begin, end] = m_appPaths.equal_range(name);
    for (auto entry = begin; entry != end; ++entry) {
        AppPathEntry& app = entry->second;
        if (!app.resolved) {
            const auto key =
                m_registry.OpenKey(app.root, std::wstring(kAppPathsKey) + L"\\" + name, m_machine.PortView(app.view));
            if (key) app.path = m_registry.ReadString(**key, L"", L"").ValueOr(L"");
            app.resolved = true;
        }
        if (!app.path.empty() && m_files.PathExists(app.path)) return true;
    }
    return false;
}

// One entry per application name and App Paths key; the same name may stand under several.
void RegistryCache::BuildAppPaths() {
    for (const auto root : {RegistryRoot::LocalMachine, RegistryRoot::CurrentUser}) {
        for (const auto view : {ViewFlag::Default, ViewFlag::Key64}) {
            if (view == ViewFlag::Key64 && !m_machine.wow64) continue;
            if (m_appPathSources.contains({root, view})) continue;
            const auto key = m_registry.OpenKey(root, std::wstring(kAppPathsKey), m_machine.PortView(view));
            if (!key) {
                // A key that is not there is an answer; one that failed to open is asked again.
                if (key.NotFound()) m_appPathSources.insert({root, view});
                continue;
            }
            std::vector<std::wstring> names;
            try {
                names = EnumerateSubkeys(m_registry, **key);
            } catch (const win32::RegistryError&) {
                continue;
            }
            for (auto& app : names) m_appPaths.emplace(std::move(app), AppPathEntry{root, view, false, {}});
            m_appPathSources.insert({root, view});
        }
    }
}

}  // namespace tessary::offers
