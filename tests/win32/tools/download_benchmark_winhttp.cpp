// The bare WinHTTP loop of the download benchmark.
#include <windows.h>
#include <winhttp.h>

#include <vector>

#include "download_benchmark_loops.h"
#include "platform/win32/winhttp_handle.h"

namespace tessary::tools {
namespace {

LoopOutcome Failed(const char* call) { return {0, call, ::GetLastError()}; }

}  // namespace

LoopOutcome BareWinHttpLoop(const std::wstring& url, std::size_t readSize, HANDLE file) {
    URL_COMPONENTS parts{};
    parts.dwStructSize = sizeof parts;
    parts.dwHostNameLength = static_cast<DWORD>(-1);
    parts.dwUrlPathLength = static_cast<DWORD>(-1);
    parts.dwExtraInfoLength = static_cast<DWORD>(-1);
    if (!::WinHttpCrackUrl(url.c_str(), 0, 0, &parts)) return Failed("WinHttpCrackUrl");
    const std::wstring host(parts.lpszHostName, parts.dwHostNameLength);
    const std::wstring object = std::wstring(parts.lpszUrlPath, parts.dwUrlPathLength) +
                                std::wstring(parts.lpszExtraInfo, parts.dwExtraInfoLength);

    win32::WinHttpHandle session(
        ::WinHttpOpen(nullptr, WINHTTP_ACCESS_TYPE_DEFAULT_PROXY, WINHTTP_NO_PROXY_NAME, WINHTTP_NO_PROXY_BYPASS, 0));
    if (!session) return Failed("WinHttpOpen");
    win32::WinHttpHandle connection(::WinHttpConnect(session.Get(), host.c_str(), parts.nPort, 0));
    if (!connection) return Failed("WinHttpConnect");
    win32::WinHttpHandle request(::WinHttpOpenRequest(connection.Get(), L"GET", object.c_str(), nullptr,
                                                      WINHTTP_NO_REFERER, WINHTTP_DEFAULT_ACCEPT_TYPES, 0));
    if (!request) return Failed("WinHttpOpenRequest");
    if (!::WinHttpSendRequest(request.Get(), WINHTTP_NO_ADDITIONAL_HEADERS, 0, WINHTTP_NO_REQUEST_DATA, 0, 0, 0)) {
        return Failed("WinHttpSendRequest");
    }
    if (!::WinHttpReceiveResponse(request.Get(), nullptr)) return Failed("WinHttpReceiveResponse");

    std::vector<char> buffer(readSize);
    LoopOutcome outcome;
    for (;;) {
        DWORD wanted = static_cast<DWORD>(readSize);
        if (readSize == 0) {
            if (!::WinHttpQueryDataAvailable(request.Get(), &wanted)) return Failed("WinHttpQueryDataAvailable");
            if (wanted == 0) return outcome;
            if (buffer.size() < wanted) buffer.resize(wanted);
        }
        DWORD read = 0;
        if (!::WinHttpReadData(request.Get(), buffer.data(), wanted, &read)) return Failed("WinHttpReadData");
        if (read == 0) return outcome;
        if (!WriteWhole(file, buffer.data(), read)) return Failed("WriteFile");
        outcome.bytes += read;
    }
}

}  // namespace tessary::tools
