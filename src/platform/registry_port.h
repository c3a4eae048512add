#pragma once
#include <cstdint>
#include <optional>
#include <string>
#include <vector>

namespace tessary::platform {

enum class RegistryRoot { ClassesRoot, CurrentUser, LocalMachine, Users };

enum class RegistryView {
    Default,  // whatever the process sees without a WOW64 flag
    Force64,  // KEY_WOW64_64KEY
    Force32,  // KEY_WOW64_32KEY
};

class RegistryPort {
public:
    virtual ~RegistryPort() = default;
    // Reads a value with the narrow interface into a zero-filled buffer of bufferSize bytes;
    // returns the bytes the system reported, nullopt when the key or value cannot be read.
    virtual std::optional<std::vector<std::uint8_t>> QueryValueNarrow(RegistryRoot root, const std::string& path,
                                                                     const std::string& valueName,
                                                                     RegistryView view,
                                                                     std::size_t bufferSize) const = 0;
    // Creates or opens the key and stores a REG_DWORD value; true when it was written.
    virtual bool WriteDword(RegistryRoot root, const std::wstring& path, const std::wstring& valueName,
                            std::uint32_t value) = 0;
};

}  // namespace tessary::platform
