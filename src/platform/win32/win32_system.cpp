#include <windows.h>

#include "platform/win32/win32_ports.h"

namespace tessary::win32 {
namespace {

using RtlGetVersionFunction = LONG(WINAPI*)(OSVERSIONINFOW*);

class Win32System : public platform::SystemPort {
public:
    std::optional<platform::OsVersion> GetOsVersion() const override {
        // RtlGetVersion tells the truth where GetVersionEx is subject to the manifest.
        const HMODULE ntdll = ::GetModuleHandleW(L"ntdll.dll");
        if (!ntdll) return std::nullopt;
        const auto rtlGetVersion =
            reinterpret_cast<RtlGetVersionFunction>(reinterpret_cast<void*>(::GetProcAddress(ntdll, "RtlGetVersion")));
        if (!rtlGetVersion) return std::nullopt;
        OSVERSIONINFOW info{};
        info.dwOSVersionInfoSize = sizeof info;
        if (rtlGetVersion(&info) != 0) return std::nullopt;
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

    bool IsWow64() const override {
        BOOL wow64 = FALSE;
        return ::IsWow64Process(::GetCurrentProcess(), &wow64) && wow64;
    }

    std::optional<std::wstring> GetEnvironmentVariable(const std::wstring& name) const override {
        const DWORD size = ::GetEnvironmentVariableW(name.c_str(), nullptr, 0);
        if (size == 0) return std::nullopt;
        std::wstring value(size, L'\0');
        const DWORD length = ::GetEnvironmentVariableW(name.c_str(), value.data(), size);
        if (length == 0 || length >= size) return std::nullopt;
        value.resize(length);
        return value;
    }
};

}  // namespace

std::shared_ptr<platform::SystemPort> MakeSystemPort() { return std::make_shared<Win32System>(); }

}  // namespace tessary::win32
