#include "offers/registry_access.h"

#include "encoding/number_text.h"
#include "offers/registry_error.h"

namespace tessary::offers {
namespace {

[[noreturn]] void Throw(const char* message, platform::Status status) {
    throw win32::RegistryError(message, static_cast<std::int32_t>(status));
}

}  // namespace

// The rules' "WOW64" is 64-bit Windows: the 64-bit build must judge as the shipped build does there.
// A system that cannot tell counts as 32-bit Windows, as a failed IsWow64Process does.
bool IsWow64(const platform::SystemPort& system) { return system.IsWindows64Bit().ValueOr(false); }

platform::Result<platform::RegistryKeyPtr> OpenFullPath(const platform::RegistryPort& registry,
                                                        const std::wstring& fullPath, ViewFlag view,
                                                        const RegistryMachine& machine) {
    const auto at = fullPath.find(L'\\');
    if (at == std::wstring::npos) return platform::Failure{platform::kFileNotFound};
    const auto root = RootHandle(std::wstring_view(fullPath).substr(0, at));
    if (!root) return platform::Failure{platform::kFileNotFound};
    return registry.OpenKey(*root, fullPath.substr(at + 1), machine.PortView(view));
}

bool PlainKeyExists(const platform::RegistryPort& registry, const std::wstring& fullPath,
                    const RegistryMachine& machine) {
    return OpenFullPath(registry, fullPath, ViewFlag::Default, machine).Ok();
}

std::vector<std::wstring> EnumerateSubkeys(const platform::RegistryPort& registry,
                                           const platform::OpenRegistryKey& key) {
    auto subkeys = registry.EnumerateSubkeys(key);
    if (!subkeys.names) {
        Throw(subkeys.infoRead ? win32::kCannotEnumerateSubkeys : win32::kCannotQueryKeyInfo,
              subkeys.names.GetStatus());
    }
    auto names = std::move(subkeys.names).Value();
    for (auto& name : names) name = LowerCase(std::move(name));
    return names;
}

std::wstring ReadRegistryString(const platform::RegistryPort& registry, const platform::OpenRegistryKey& key,
                                const std::wstring& subkey, const std::wstring& name) {
    auto text = registry.ReadString(key, subkey, name);
    if (!text) Throw(win32::kCannotReadString, text.GetStatus());
    return std::move(text).Value();
}

bool ValueExists(const platform::RegistryPort& registry, const platform::OpenRegistryKey& key,
                 const std::wstring& name) {
    return registry.GetValueType(key, name).Ok();
}

platform::RegistryType GetValueType(const platform::RegistryPort& registry, const platform::OpenRegistryKey& key,
                                    const std::wstring& name) {
    return registry.GetValueType(key, name).ValueOr(platform::kRegNone);
}

bool ValueDataEquals(const platform::RegistryPort& registry, platform::RegistryType type,
                     const platform::OpenRegistryKey& key, const std::wstring& name, const std::wstring& expected) {
    switch (type) {
        case platform::kRegSz:
            return LowerCase(ReadRegistryString(registry, key, L"", name)) == expected;
        case platform::kRegDword: {
            const auto data = registry.ReadDword(key, name);
            if (!data) Throw(win32::kCannotReadDword, data.GetStatus());
            return ParseDecimal32(expected) == *data;
        }
        case platform::kRegQword: {
            const auto data = registry.ReadQword(key, name);
            if (!data) Throw(win32::kCannotReadQword, data.GetStatus());
            return ParseDecimal64(expected) == *data;
        }
        default:
            return false;
    }
}

}  // namespace tessary::offers
