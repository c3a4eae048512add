#pragma once
#include <cstdint>
#include <memory>
#include <string>
#include <vector>

#include "platform/result.h"

namespace tessary::platform {

enum class RegistryRoot { ClassesRoot, CurrentUser, LocalMachine, Users, CurrentConfig };

enum class RegistryView {
    Default,  // whatever the process sees without a WOW64 flag
    Force64,  // KEY_WOW64_64KEY
    Force32,  // KEY_WOW64_32KEY
};

// The view the shipped 32-bit program uses when it names none: on 64-bit Windows the 32-bit one,
// which a 64-bit build must name to reach the same keys.
inline RegistryView ShippedProgramDefaultView(bool windows64Bit) {
    return windows64Bit ? RegistryView::Force32 : RegistryView::Default;
}

// Value types, with the numbers Windows gives them.
using RegistryType = std::uint32_t;
inline constexpr RegistryType kRegNone = 0;
inline constexpr RegistryType kRegSz = 1;
inline constexpr RegistryType kRegExpandSz = 2;
inline constexpr RegistryType kRegBinary = 3;
inline constexpr RegistryType kRegDword = 4;
inline constexpr RegistryType kRegMultiSz = 7;
inline constexpr RegistryType kRegQword = 11;

// A key opened for reading. It stays open while its owner holds it; only the port that opened
// it can use it.
class OpenRegistryKey {
public:
    virtual ~OpenRegistryKey() = default;
};
using RegistryKeyPtr = std::unique_ptr<OpenRegistryKey>;

// Processor 0's speed, with the step that failed: the checks tell a key they could not open
// from a value they could not read.
struct [[nodiscard]] ProcessorSpeed {
    bool keyOpened = false;
    Result<std::uint32_t> mhz = Failure{kFileNotFound};  // the open's status when it failed
};

// The names of a key's direct subkeys, with the step that failed: asking the key for its count
// and longest name, or reading the names.
struct [[nodiscard]] SubkeyNames {
    bool infoRead = false;
    Result<std::vector<std::wstring>> names = Failure{kFileNotFound};  // the failed step's status
};

// Reading goes through keys opened with KEY_READ in a chosen view. Each call returns the status
// of the registry function behind it; "not found" is a key or value that is not there.
class RegistryPort {
public:
    virtual ~RegistryPort() = default;

    virtual Result<RegistryKeyPtr> OpenKey(RegistryRoot root, const std::wstring& path, RegistryView view) const = 0;
    // A key below an open one, in the given view.
    virtual Result<RegistryKeyPtr> OpenSubkey(const OpenRegistryKey& parent, const std::wstring& path,
                                              RegistryView view) const = 0;
    // Opens and closes the key: whether it exists and can be read.
    virtual Result<void> TestKey(RegistryRoot root, const std::wstring& path, RegistryView view) const = 0;
    // The names of the direct subkeys, as stored, in the system's order. Subkeys added or removed
    // meanwhile do not make it fail.
    virtual SubkeyNames EnumerateSubkeys(const OpenRegistryKey& key) const = 0;
    // The type of a value; an empty name is the key's default value.
    virtual Result<RegistryType> GetValueType(const OpenRegistryKey& key, const std::wstring& name) const = 0;
    // A REG_SZ value of the key or of its subkey (empty: the key itself), without its terminator.
    virtual Result<std::wstring> ReadString(const OpenRegistryKey& key, const std::wstring& subkey,
                                            const std::wstring& name) const = 0;
    // A REG_EXPAND_SZ value as stored, its variables not expanded.
    virtual Result<std::wstring> ReadExpandString(const OpenRegistryKey& key, const std::wstring& name) const = 0;
    virtual Result<std::uint32_t> ReadDword(const OpenRegistryKey& key, const std::wstring& name) const = 0;
    virtual Result<std::uint64_t> ReadQword(const OpenRegistryKey& key, const std::wstring& name) const = 0;

    // Reads a value with the narrow interface into a zero-filled buffer of bufferSize bytes;
    // returns the bytes the system reported.
    virtual Result<std::vector<std::uint8_t>> QueryValueNarrow(RegistryRoot root, const std::string& path,
                                                               const std::string& valueName, RegistryView view,
                                                               std::size_t bufferSize) const = 0;
    // The "~MHz" value of HKLM\HARDWARE\DESCRIPTION\System\CentralProcessor\0 in the 64-bit view.
    virtual ProcessorSpeed ReadProcessorSpeed() const = 0;

    // Creates or opens the key in the given view and stores a REG_DWORD value.
    virtual Result<void> WriteDword(RegistryRoot root, const std::wstring& path, RegistryView view,
                                    const std::wstring& valueName, std::uint32_t value) = 0;
};

}  // namespace tessary::platform
