#pragma once
#include <cstdint>
#include <string>
#include <vector>

#include "platform/result.h"

namespace tessary::platform {

struct OsVersion {
    unsigned major = 0;
    unsigned minor = 0;
    unsigned build = 0;
};

class SystemPort {
public:
    virtual ~SystemPort() = default;
    // The real version of the running system, as the kernel reports it.
    virtual Result<OsVersion> GetOsVersion() const = 0;
    // True when the version is at least major.minor with at least the given service pack.
    virtual bool IsVersionAtLeast(unsigned major, unsigned minor, unsigned servicePackMajor) const = 0;
    // True when this process is a 32-bit process on 64-bit Windows. Fails with the system's status
    // when it cannot tell; callers decide what that means for them.
    virtual Result<bool> IsWow64() const = 0;
    // True on 64-bit Windows, whatever the width of this process. A 32-bit process learns it from
    // IsWow64 and fails as that does.
    virtual Result<bool> IsWindows64Bit() const = 0;
    // The variable's value; not found when it is not set.
    virtual Result<std::wstring> GetEnvironmentVariable(const std::wstring& name) const = 0;
    // Physical memory in bytes.
    virtual Result<std::uint64_t> GetTotalPhysicalMemory() const = 0;
    // The executable file name of every running process, as the system's process list gives it.
    virtual Result<std::vector<std::wstring>> GetProcessImageNames() const = 0;
};

}  // namespace tessary::platform
