// The installer the stand-in service hands out for the product and the offers. It notes its start,
// one line "<program path>|<command line>" appended to %TEMP%\tessary_sample_installer.log, so
// tests can see which installers ran with which arguments. Its own file name says what else it
// does, so that one program serves every case:
//   "-waitN" anywhere in the name   stays N seconds before it ends (an installer at work)
//   "-exitN" right before ".exe"    ends with exit code N instead of 0
// For example "veloran-wait6.exe" runs six seconds, "veloran-exit2.exe" fails with 2.
#include <windows.h>

#include <cwctype>
#include <optional>
#include <string>

#include "platform/win32/handles.h"

namespace {

// The number right after the first occurrence of tag in name, if digits follow it there.
std::optional<unsigned> NumberAfter(const std::wstring& name, const std::wstring& tag) {
    const auto at = name.find(tag);
    if (at == std::wstring::npos) return std::nullopt;
    std::size_t end = at + tag.size();
    unsigned number = 0;
    bool digits = false;
    for (; end < name.size() && std::iswdigit(name[end]) && number < 100000; ++end) {
        number = number * 10 + static_cast<unsigned>(name[end] - L'0');
        digits = true;
    }
    if (!digits) return std::nullopt;
    return number;
}

std::wstring Lowercase(std::wstring text) {
    for (auto& c : text) c = static_cast<wchar_t>(std::towlower(c));
    return text;
}

void AppendToLog(const std::wstring& line) {
    wchar_t temp[MAX_PATH + 1] = {};
    if (::GetTempPathW(MAX_PATH + 1, temp) == 0) return;
    const std::wstring logPath = std::wstring(temp) + L"tessary_sample_installer.log";
    tessary::win32::FileHandle log(::CreateFileW(logPath.c_str(), FILE_APPEND_DATA, FILE_SHARE_READ | FILE_SHARE_WRITE,
                                                 nullptr, OPEN_ALWAYS, FILE_ATTRIBUTE_NORMAL, nullptr));
    if (!log) return;
    const int size =
        ::WideCharToMultiByte(CP_UTF8, 0, line.c_str(), static_cast<int>(line.size()), nullptr, 0, nullptr, nullptr);
    std::string utf8(size > 0 ? size : 0, '\0');
    ::WideCharToMultiByte(CP_UTF8, 0, line.c_str(), static_cast<int>(line.size()), utf8.data(), size, nullptr, nullptr);
    DWORD written = 0;
    ::WriteFile(log.Get(), utf8.data(), static_cast<DWORD>(utf8.size()), &written, nullptr);
}

}  // namespace

int WINAPI wWinMain(HINSTANCE, HINSTANCE, PWSTR, int) {
    wchar_t program[MAX_PATH] = {};
    ::GetModuleFileNameW(nullptr, program, MAX_PATH);
    AppendToLog(std::wstring(program) + L"|" + ::GetCommandLineW() + L"\r\n");

    std::wstring name = Lowercase(program);
    name = name.substr(name.find_last_of(L"\\/") + 1);
    if (const auto seconds = NumberAfter(name, L"-wait")) ::Sleep(*seconds * 1000);
    const auto exitAt = name.rfind(L"-exit");
    if (exitAt != std::wstring::npos && name.ends_with(L".exe")) {
        const std::wstring tail = name.substr(exitAt);
        const auto code = NumberAfter(tail, L"-exit");
        // Only digits between "-exit" and ".exe".
        if (code && tail == L"-exit" + std::to_wstring(*code) + L".exe") return static_cast<int>(*code);
    }
    return 0;
}
