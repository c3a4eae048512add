#pragma once
#include <optional>
#include <string>

namespace tessary::platform {

struct OsVersion {
    unsigned major = 0;
    unsigned minor = 0;
    unsigned build = 0;
};

class SystemPort {
public:
    virtual ~SystemPort() = default;
    // The real version of the running system, as the kernel reports it; nullopt on failure.
    virtual std::optional<OsVersion> GetOsVersion() const = 0;
    // True when the version is at least major.minor with at least the given service pack.
    virtual bool IsVersionAtLeast(unsigned major, unsigned minor, unsigned servicePackMajor) const = 0;
    // True when this process is a 32-bit process on 64-bit Windows.
    virtual bool IsWow64() const = 0;
    // The variable's value; nullopt when it is not set.
    virtual std::optional<std::wstring> GetEnvironmentVariable(const std::wstring& name) const = 0;
};

}  // namespace tessary::platform
