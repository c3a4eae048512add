// The bare WinINet loop of the download benchmark.
#include <windows.h>
#include <wininet.h>

#include <vector>

#include "download_benchmark_loops.h"
#include "platform/win32/handles.h"

namespace tessary::tools {
namespace {

void CloseInternet(HINTERNET handle) { ::InternetCloseHandle(handle); }
using InternetHandle = win32::UniqueHandle<HINTERNET, win32::NullIsInvalid<HINTERNET, CloseInternet>>;

LoopOutcome Failed(const char* call) { return {0, call, ::GetLastError()}; }

}  // namespace

LoopOutcome BareWinInetLoop(const std::wstring& url, std::size_t readSize, HANDLE file) {
    InternetHandle session(::InternetOpenW(L"", INTERNET_OPEN_TYPE_PRECONFIG, nullptr, nullptr, 0));
    if (!session) return Failed("InternetOpenW");
    InternetHandle request(::InternetOpenUrlW(session.Get(), url.c_str(), nullptr, 0, INTERNET_FLAG_RELOAD, 0));
    if (!request) return Failed("InternetOpenUrlW");

    std::vector<char> buffer(readSize);
    LoopOutcome outcome;
    for (;;) {
        DWORD read = 0;
        if (!::InternetReadFile(request.Get(), buffer.data(), static_cast<DWORD>(buffer.size()), &read)) {
            return Failed("InternetReadFile");
        }
        if (read == 0) return outcome;
        if (!WriteWhole(file, buffer.data(), read)) return Failed("WriteFile");
        outcome.bytes += read;
    }
}

}  // namespace tessary::tools
