#include "fake_system.h"

namespace tessary::testing {

bool FakeSystem::IsVersionAtLeast(unsigned major, unsigned minor, unsigned servicePackMajor) const {
    if (!osVersion) return false;
    if (osVersion->major != major) return osVersion->major > major;
    if (osVersion->minor != minor) return osVersion->minor > minor;
    return servicePack >= servicePackMajor;
}

platform::Result<platform::OsVersion> FakeSystem::GetOsVersion() const {
    if (!osVersion) return platform::Failure{1};  // STATUS_UNSUCCESSFUL's low bits will do
    return *osVersion;
}

platform::Result<bool> FakeSystem::IsWow64() const {
    if (wow64Failure) return platform::Failure{wow64Failure};
    return wow64;
}

platform::Result<bool> FakeSystem::IsWindows64Bit() const {
    if (windows64) return true;  // a 64-bit process need not ask
    return IsWow64();
}

platform::Result<std::wstring> FakeSystem::GetEnvironmentVariable(const std::wstring& name) const {
    const auto found = environment.find(name);
    if (found == environment.end()) return platform::Failure{platform::kEnvironmentVariableNotFound};
    return found->second;
}

platform::Result<std::uint64_t> FakeSystem::GetTotalPhysicalMemory() const {
    ++memoryReads;
    if (memoryFailure) return platform::Failure{memoryFailure};
    return totalPhysicalMemory;
}

platform::Result<std::vector<std::wstring>> FakeSystem::GetProcessImageNames() const {
    ++processListReads;
    if (processListFailure) return platform::Failure{processListFailure};
    return processNames;
}

}  // namespace tessary::testing
