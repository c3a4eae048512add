#pragma once
// Existence tests and typed reads on keys of the registry port, for the offer checks. The reads
// that can fail for a reason other than absence throw win32::RegistryError with the status.
#include <string>
#include <vector>

#include "offers/registry_paths.h"
#include "platform/registry_port.h"
#include "platform/system_port.h"

namespace tessary::offers {

// Whether this machine is 64-bit Windows: a 64-bit process, or a 32-bit one under WOW64. A system
// that cannot tell counts as 32-bit Windows.
bool IsWow64(const platform::SystemPort& system);

// Opens "root name\subkey" (a full path) for reading in the view; not found for a root name that
// is not one of RootNames or a path without a backslash.
platform::Result<platform::RegistryKeyPtr> OpenFullPath(const platform::RegistryPort& registry,
                                                        const std::wstring& fullPath, ViewFlag view,
                                                        const RegistryMachine& machine);

// Whether a full path names a key that can be opened, in the default view.
bool PlainKeyExists(const platform::RegistryPort& registry, const std::wstring& fullPath,
                    const RegistryMachine& machine);

// The lower-cased names of the key's direct subkeys, in the system's order.
std::vector<std::wstring> EnumerateSubkeys(const platform::RegistryPort& registry, const platform::OpenRegistryKey& key);

// A REG_SZ value of the key (or of its subkey); empty subkey and name read the default value.
std::wstring ReadRegistryString(const platform::RegistryPort& registry, const platform::OpenRegistryKey& key,
                                const std::wstring& subkey, const std::wstring& name);

// Whether the key has a value of that name, of any type; false on any failure.
bool ValueExists(const platform::RegistryPort& registry, const platform::OpenRegistryKey& key, const std::wstring& name);

// The value's type, or REG_NONE when it cannot be asked for.
platform::RegistryType GetValueType(const platform::RegistryPort& registry, const platform::OpenRegistryKey& key,
                                    const std::wstring& name);

// Whether the value's data equals the expected text: REG_SZ lower-cased against the text;
// REG_DWORD and REG_QWORD against the text read as a decimal number (a text that is no such
// number, or does not fit, never equals); other types never. A failed read throws.
bool ValueDataEquals(const platform::RegistryPort& registry, platform::RegistryType type,
                     const platform::OpenRegistryKey& key, const std::wstring& name, const std::wstring& expected);

}  // namespace tessary::offers
