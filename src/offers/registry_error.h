#pragma once
// The failure of a registry call inside the offer checks' registry layer, with the status the
// call returned.
#include <cstdint>
#include <stdexcept>

namespace tessary::win32 {

class RegistryError : public std::runtime_error {
public:
    RegistryError(const char* message, std::int32_t code) : std::runtime_error(message), m_code(code) {}
    std::int32_t Code() const { return m_code; }

private:
    std::int32_t m_code;
};

// The messages the layer raises, one per step that can fail.
inline constexpr const char* kCannotOpenKey = "Cannot open registry key: RegOpenKeyEx failed.";
inline constexpr const char* kCannotGetValueInfo = "Cannot get value info: RegGetValue failed.";
inline constexpr const char* kCannotReadDword = "Cannot read DWORD from registry.";
inline constexpr const char* kCannotReadQword = "Cannot read QWORD from registry.";
inline constexpr const char* kCannotReadString = "Cannot read string from registry";
inline constexpr const char* kCannotQueryKeyInfo = "RegQueryInfoKey failed while preparing for subkey enumeration.";
inline constexpr const char* kCannotEnumerateSubkeys = "Cannot enumerate subkeys: RegEnumKeyEx failed.";

}  // namespace tessary::win32
