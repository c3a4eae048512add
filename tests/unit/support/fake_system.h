#pragma once
#include <map>
#include <optional>
#include <string>
#include <vector>

#include "platform/system_port.h"

namespace tessary::testing {

class FakeSystem : public platform::SystemPort {
public:
    platform::Result<platform::OsVersion> GetOsVersion() const override;
    bool IsVersionAtLeast(unsigned major, unsigned minor, unsigned servicePackMajor) const override;
    platform::Result<bool> IsWow64() const override;
    platform::Result<bool> IsWindows64Bit() const override;
    platform::Result<std::wstring> GetEnvironmentVariable(const std::wstring& name) const override;
    platform::Result<std::uint64_t> GetTotalPhysicalMemory() const override;
    platform::Result<std::vector<std::wstring>> GetProcessImageNames() const override;

    std::optional<platform::OsVersion> osVersion = platform::OsVersion{10, 0, 19045};
    unsigned servicePack = 0;
    bool wow64 = false;
    bool windows64 = false;             // a 64-bit process on 64-bit Windows when wow64 is false
    platform::Status wow64Failure = 0;  // the status IsWow64Process fails with; 0: it works
    std::map<std::wstring, std::wstring> environment;
    std::uint64_t totalPhysicalMemory = 8ull << 30;
    platform::Status memoryFailure = 0;  // the status GlobalMemoryStatusEx fails with; 0: it works
    std::vector<std::wstring> processNames{L"System", L"explorer.exe"};
    platform::Status processListFailure = 0;
    // How often each fact was asked for, so tests can tell a cached answer from a new one.
    mutable int memoryReads = 0;
    mutable int processListReads = 0;
};

}  // namespace tessary::testing
