// Stands in for a downloaded installer in the tests and the demo: the stand-in service hands it out
// for the products and the offers. When TESSARY_INSTALLER_LOG names a file, it appends one UTF-8
// line "<its own path>\t<its command line>\n" to it, so a test sees exactly which program ran with
// which command line. Its own file name says what else it does:
//   "-waitN" anywhere in the name   stays N seconds before it ends (an installer at work)
//   "-exitN.exe" at the end         ends with N instead of 0
// For example "veloran-wait6.exe" runs six seconds, "main-exit2.exe" fails with 2.
#include <windows.h>

#include <algorithm>
#include <cwctype>
#include <optional>
#include <string>

#include "platform/win32/handles.h"

namespace {

std::wstring ModulePath() {
    std::wstring path(MAX_PATH, L'\0');
    for (;;) {
        const DWORD length = ::GetModuleFileNameW(nullptr, path.data(), static_cast<DWORD>(path.size()));
        if (length == 0) return {};
        if (length < path.size()) {
            path.resize(length);
            return path;
        }
        path.resize(path.size() * 2);
    }
}

std::string Utf8(const std::wstring& text) {
    const int size =
        ::WideCharToMultiByte(CP_UTF8, 0, text.c_str(), static_cast<int>(text.size()), nullptr, 0, nullptr, nullptr);
    std::string utf8(size > 0 ? size : 0, '\0');
    ::WideCharToMultiByte(CP_UTF8, 0, text.c_str(), static_cast<int>(text.size()), utf8.data(), size, nullptr, nullptr);
    return utf8;
}

std::optional<std::wstring> Environment(const wchar_t* name) {
    const DWORD size = ::GetEnvironmentVariableW(name, nullptr, 0);
    if (size <= 1) return std::nullopt;
    std::wstring value(size, L'\0');
    const DWORD length = ::GetEnvironmentVariableW(name, value.data(), size);
    if (length == 0 || length >= size) return std::nullopt;
    value.resize(length);
    return value;
}

// Several installers may note their start at once: each appends its whole line in one write, and
// one that finds the file held tries again for up to ten seconds (a test may hold it on purpose to
// keep an installer running).
void AppendLine(const std::wstring& logPath, const std::string& line) {
    for (int attempt = 0; attempt < 500; ++attempt) {
        const tessary::win32::FileHandle log(::CreateFileW(logPath.c_str(), FILE_APPEND_DATA,
                                                           FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE,
                                                           nullptr, OPEN_ALWAYS, FILE_ATTRIBUTE_NORMAL, nullptr));
        if (log) {
            DWORD written = 0;
            ::WriteFile(log.Get(), line.data(), static_cast<DWORD>(line.size()), &written, nullptr);
            return;
        }
        const DWORD error = ::GetLastError();
        if (error != ERROR_SHARING_VIOLATION && error != ERROR_LOCK_VIOLATION && error != ERROR_ACCESS_DENIED) return;
        ::Sleep(20);
    }
}

// The digits right after marker in name, as a number; nullopt when no digit follows it.
std::optional<unsigned> NumberAfter(const std::wstring& name, std::size_t marker, std::size_t markerLength) {
    std::size_t end = marker + markerLength;
    while (end < name.size() && std::iswdigit(name[end]) && end - marker - markerLength < 9) ++end;
    if (end == marker + markerLength) return std::nullopt;
    return static_cast<unsigned>(std::stoul(name.substr(marker + markerLength, end - marker - markerLength)));
}

// N of "-waitN" anywhere in the name; 0 otherwise.
unsigned SecondsToWork(const std::wstring& name) {
    const auto marker = name.find(L"-wait");
    if (marker == std::wstring::npos) return 0;
    return NumberAfter(name, marker, 5).value_or(0);
}

// N of a name ending in "-exitN.exe"; 0 otherwise.
int ExitCode(const std::wstring& name) {
    const std::wstring suffix = L".exe";
    const auto marker = name.rfind(L"-exit");
    if (marker == std::wstring::npos || !name.ends_with(suffix)) return 0;
    const auto code = NumberAfter(name, marker, 5);
    if (!code || name.substr(marker) != L"-exit" + std::to_wstring(*code) + suffix) return 0;
    return static_cast<int>(*code);
}

}  // namespace

int WINAPI wWinMain(HINSTANCE, HINSTANCE, PWSTR, int) {
    const std::wstring program = ModulePath();
    if (const auto log = Environment(L"TESSARY_INSTALLER_LOG")) {
        AppendLine(*log, Utf8(program + L"\t" + ::GetCommandLineW() + L"\n"));
    }
    std::wstring name = program.substr(program.find_last_of(L"\\/") + 1);
    std::transform(name.begin(), name.end(), name.begin(), [](wchar_t c) { return std::towlower(c); });
    ::Sleep(SecondsToWork(name) * 1000);
    return ExitCode(name);
}
