#pragma once
// The registry questions of one evaluation of the offers, with the two caches that keep them
// cheap: the subkey names of each Software hive per root and view, and an index of the
// applications registered under App Paths. Both start empty and live as long as the evaluation.
#include <map>
#include <set>
#include <string>
#include <tuple>
#include <unordered_map>
#include <utility>
#include <vector>

#include "offers/registry_paths.h"
#include "platform/file_system_port.h"
#include "platform/registry_port.h"

namespace tessary::offers {

struct AppPathEntry {
    platform::RegistryRoot root = platform::RegistryRoot::LocalMachine;
    ViewFlag view = ViewFlag::Default;
    bool resolved = false;  // the executable path has been read
    std::wstring path;      // empty until resolved, or when it cannot be read
};

class RegistryCache {
public:
    RegistryCache(const platform::RegistryPort& registry, const platform::FileSystemPort& files,
                  RegistryMachine machine);

    // Whether a full path names an existing key; paths under a Software prefix are answered
    // from the hive's cached subkey names first.
    bool KeyExists(const std::wstring& path);

    // Looks for the value under the root (a full root name) and key path, first as given and, on
    // 64-bit Windows for a key path beginning with "software", then under Wow6432Node. A REG_SZ
    // value gives its text, REG_DWORD and REG_QWORD their decimal digits; other types and
    // unreadable values are passed over. False when no candidate had one; out is then unchanged.
    bool ReadText(const std::wstring& rootName, const std::wstring& keyPath, const std::wstring& valueName,
                  std::wstring& out);

    // Whether an App Paths entry of exactly this (lower-case) name names an existing file.
    bool IsAppInstalled(const std::wstring& name);

    const RegistryMachine& Machine() const { return m_machine; }

private:
    using SoftwareKey = std::tuple<platform::RegistryRoot, ViewFlag, std::wstring>;
    struct SubkeyList {
        bool loaded = false;  // an empty hive is loaded too, and not enumerated again
        std::vector<std::wstring> names;
    };

    bool SoftwareKeyExists(const std::wstring& path);
    void BuildAppPaths();

    const platform::RegistryPort& m_registry;
    const platform::FileSystemPort& m_files;
    RegistryMachine m_machine;
    // The App Paths keys (root and view) whose subkeys are in the index, or that are not there; a
    // key that could not be read is tried again at the next question.
    std::set<std::pair<platform::RegistryRoot, ViewFlag>> m_appPathSources;
    std::unordered_multimap<std::wstring, AppPathEntry> m_appPaths;
    std::map<SoftwareKey, SubkeyList> m_softwareSubkeys;
};

}  // namespace tessary::offers
