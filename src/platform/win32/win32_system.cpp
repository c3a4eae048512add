#include <windows.h>
#include <tlhelp32.h>

#include "platform/win32/failure.h"
#include "platform/win32/handles.h"
#include "platform/win32/win32_ports.h"

namespace tessary::win32 {
namespace {

using RtlGetVersionFunction = LONG(WINAPI*)(OSVERSIONINFOW*);

class Win32System : public platform::SystemPort {
public:
    platform::Result<platform::OsVersion> GetOsVersion() const override {
        // RtlGetVersion tells the truth where GetVersionEx is subject to the manifest.
        const HMODULE ntdll = ::GetModuleHandleW(L"ntdll.dll");
        if (!ntdll) return FailWithLastError("GetModuleHandleW");
        const auto rtlGetVersion =
            reinterpret_cast<RtlGetVersionFunction>(reinterpret_cast<void*>(::GetProcAddress(ntdll, "RtlGetVersion")));
        if (!rtlGetVersion) return FailWithLastError("GetProcAddress");
        OSVERSIONINFOW info{};
        info.dwOSVersionInfoSize = sizeof info;
        if (const LONG status = rtlGetVersion(&info); status != 0) {
            return FailWith("RtlGetVersion", static_cast<platform::Status>(status));
        }
        return platform::OsVersion{info.dwMajorVersion, info.dwMinorVersion, info.dwBuildNumber};
    }

    bool IsVersionAtLeast(unsigned major, unsigned minor, unsigned servicePackMajor) const override {
        OSVERSIONINFOEXW info{};
        info.dwOSVersionInfoSize = sizeof info;
        info.dwMajorVersion = major;
        info.dwMinorVersion = minor;
        info.wServicePackMajor = static_cast<WORD>(servicePackMajor);
        ULONGLONG mask = 0;
        mask = ::VerSetConditionMask(mask, VER_MAJORVERSION, VER_GREATER_EQUAL);
        mask = ::VerSetConditionMask(mask, VER_MINORVERSION, VER_GREATER_EQUAL);
        mask = ::VerSetConditionMask(mask, VER_SERVICEPACKMAJOR, VER_GREATER_EQUAL);
        return ::VerifyVersionInfoW(&info, VER_MAJORVERSION | VER_MINORVERSION | VER_SERVICEPACKMAJOR, mask) != FALSE;
    }

    platform::Result<bool> IsWow64() const override {
        BOOL wow64 = FALSE;
        if (!::IsWow64Process(::GetCurrentProcess(), &wow64)) return FailWithLastError("IsWow64Process");
        return wow64 != FALSE;
    }

    platform::Result<bool> IsWindows64Bit() const override {
        // 64-bit code runs on 64-bit Windows only.
        if constexpr (sizeof(void*) == 8) return true;
        return IsWow64();
    }

    platform::Result<std::wstring> GetEnvironmentVariable(const std::wstring& name) const override {
        // The function answers 0 for a variable set to "" as for one that is not set or cannot be
        // read; only the last error tells them apart, so none may be left from an earlier call.
        ::SetLastError(ERROR_SUCCESS);
        const DWORD size = ::GetEnvironmentVariableW(name.c_str(), nullptr, 0);
        if (size == 0) {
            if (::GetLastError() == ERROR_SUCCESS) return std::wstring();
            return FailWithLastError("GetEnvironmentVariableW");
        }
        std::wstring value(size, L'\0');
        ::SetLastError(ERROR_SUCCESS);
        const DWORD length = ::GetEnvironmentVariableW(name.c_str(), value.data(), size);
        // Set to "" now, or removed since the first call.
        if (length == 0 && ::GetLastError() != ERROR_SUCCESS) return FailWithLastError("GetEnvironmentVariableW");
        // The variable grew between the two calls.
        if (length >= size) return FailWith("GetEnvironmentVariableW", ERROR_MORE_DATA);
        value.resize(length);
        return value;
    }

    platform::Result<std::uint64_t> GetTotalPhysicalMemory() const override {
        MEMORYSTATUSEX status{};
        status.dwLength = sizeof status;
        if (!::GlobalMemoryStatusEx(&status)) return FailWithLastError("GlobalMemoryStatusEx");
        return static_cast<std::uint64_t>(status.ullTotalPhys);
    }

    platform::Result<std::vector<std::wstring>> GetProcessImageNames() const override {
        // A failed snapshot is INVALID_HANDLE_VALUE, as with files.
        const FileHandle snapshot(::CreateToolhelp32Snapshot(TH32CS_SNAPPROCESS, 0));
        if (!snapshot) return FailWithLastError("CreateToolhelp32Snapshot");
        std::vector<std::wstring> names;
        PROCESSENTRY32W entry{};
        entry.dwSize = sizeof entry;
        for (BOOL more = ::Process32FirstW(snapshot.Get(), &entry); more;
             more = ::Process32NextW(snapshot.Get(), &entry)) {
            names.emplace_back(entry.szExeFile);
        }
        return names;
    }
};

}  // namespace

std::shared_ptr<platform::SystemPort> MakeSystemPort() { return std::make_shared<Win32System>(); }

}  // namespace tessary::win32
