// Stands in for a downloaded installer in the tests and the demo. When TESSARY_INSTALLER_LOG names
// a file, it appends one UTF-8 line "<its own path>\t<its command line>\n" to it, so a test sees
// exactly which program ran with which command line. It ends with N when its file name ends in
// "-exitN.exe" ("main-exit2.exe" ends with 2), otherwise with 0.
#include <windows.h>

#include <algorithm>
#include <cwctype>
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

// Several installers may note their start at once: each appends its whole line in one write, and
// one that finds the file held tries again for up to ten seconds (a test holds it on purpose to
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

// N of a name ending in "-exitN.exe", whatever the case; 0 otherwise.
int ExitCodeFromName(const std::wstring& path) {
    std::wstring name = path.substr(path.find_last_of(L"\\/") + 1);
    for (auto& c : name) c = static_cast<wchar_t>(::towlower(c));
    const std::wstring suffix = L".exe";
    if (name.size() < suffix.size() || name.compare(name.size() - suffix.size(), suffix.size(), suffix) != 0) return 0;
    std::size_t digitsEnd = name.size() - suffix.size();
    std::size_t digitsStart = digitsEnd;
    while (digitsStart > 0 && name[digitsStart - 1] >= L'0' && name[digitsStart - 1] <= L'9') --digitsStart;
    const std::wstring marker = L"-exit";
    if (digitsStart == digitsEnd || digitsStart < marker.size() ||
        name.compare(digitsStart - marker.size(), marker.size(), marker) != 0) {
        return 0;
    }
    return std::stoi(name.substr(digitsStart, std::min<std::size_t>(digitsEnd - digitsStart, 9)));
}

}  // namespace

int WINAPI wWinMain(HINSTANCE, HINSTANCE, PWSTR, int) {
    const std::wstring program = ModulePath();
    const DWORD size = ::GetEnvironmentVariableW(L"TESSARY_INSTALLER_LOG", nullptr, 0);
    if (size > 1) {
        std::wstring logPath(size, L'\0');
        const DWORD length = ::GetEnvironmentVariableW(L"TESSARY_INSTALLER_LOG", logPath.data(), size);
        if (length > 0 && length < size) {
            logPath.resize(length);
            AppendLine(logPath, Utf8(program + L"\t" + ::GetCommandLineW() + L"\n"));
        }
    }
    return ExitCodeFromName(program);
}
