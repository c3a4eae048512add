// The installer the stand-in service hands out for the product and the offers. It does nothing
// but note its start, one line "<program path>|<command line>" appended to
// %TEMP%\tessary_sample_installer.log, so tests can see which installers ran with which
// arguments, and exits with 0.
#include <windows.h>

#include <string>

#include "platform/win32/handles.h"

int WINAPI wWinMain(HINSTANCE, HINSTANCE, PWSTR, int) {
    wchar_t program[MAX_PATH] = {};
    ::GetModuleFileNameW(nullptr, program, MAX_PATH);
    const std::wstring line = std::wstring(program) + L"|" + ::GetCommandLineW() + L"\r\n";

    wchar_t temp[MAX_PATH + 1] = {};
    if (::GetTempPathW(MAX_PATH + 1, temp) == 0) return 0;
    const std::wstring logPath = std::wstring(temp) + L"tessary_sample_installer.log";
    tessary::win32::FileHandle log(::CreateFileW(logPath.c_str(), FILE_APPEND_DATA, FILE_SHARE_READ | FILE_SHARE_WRITE,
                                                 nullptr, OPEN_ALWAYS, FILE_ATTRIBUTE_NORMAL, nullptr));
    if (!log) return 0;
    const int size = ::WideCharToMultiByte(CP_UTF8, 0, line.c_str(), static_cast<int>(line.size()), nullptr, 0,
                                           nullptr, nullptr);
    std::string utf8(size > 0 ? size : 0, '\0');
    ::WideCharToMultiByte(CP_UTF8, 0, line.c_str(), static_cast<int>(line.size()), utf8.data(), size, nullptr,
                          nullptr);
    DWORD written = 0;
    ::WriteFile(log.Get(), utf8.data(), static_cast<DWORD>(utf8.size()), &written, nullptr);
    return 0;
}
