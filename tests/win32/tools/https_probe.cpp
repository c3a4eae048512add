// https_probe HOST PATH [BODY]: POSTs BODY (default "{}") to https://HOST:443/PATH with WinHTTP and
// prints the status and the answer. Exit code 0 when an answer arrived over a trusted connection,
// 1 otherwise (with the failing call and its error code).
#include <windows.h>
#include <winhttp.h>

#include <cstdio>
#include <string>

#include "platform/win32/handles.h"

namespace {

void CloseInternet(HINTERNET handle) { ::WinHttpCloseHandle(handle); }
using InternetHandle = tessary::win32::UniqueHandle<HINTERNET, tessary::win32::NullIsInvalid<HINTERNET, CloseInternet>>;

int Fail(const char* call) {
    std::printf("https_probe: %s failed, error %lu\n", call, ::GetLastError());
    return 1;
}

std::string Narrow(const wchar_t* text) {
    const int size = ::WideCharToMultiByte(CP_UTF8, 0, text, -1, nullptr, 0, nullptr, nullptr);
    std::string narrow(size > 0 ? size - 1 : 0, '\0');
    if (size > 1) ::WideCharToMultiByte(CP_UTF8, 0, text, -1, narrow.data(), size, nullptr, nullptr);
    return narrow;
}

}  // namespace

int wmain(int argc, wchar_t** argv) {
    if (argc < 3 || argc > 4) {
        std::printf("usage: https_probe HOST PATH [BODY]\n");
        return 2;
    }
    std::string body = argc == 4 ? Narrow(argv[3]) : std::string("{}");

    InternetHandle session(::WinHttpOpen(nullptr, WINHTTP_ACCESS_TYPE_DEFAULT_PROXY, WINHTTP_NO_PROXY_NAME,
                                         WINHTTP_NO_PROXY_BYPASS, 0));
    if (!session) return Fail("WinHttpOpen");
    InternetHandle connection(::WinHttpConnect(session.Get(), argv[1], INTERNET_DEFAULT_HTTPS_PORT, 0));
    if (!connection) return Fail("WinHttpConnect");
    InternetHandle request(::WinHttpOpenRequest(connection.Get(), L"POST", argv[2], nullptr, WINHTTP_NO_REFERER,
                                                WINHTTP_DEFAULT_ACCEPT_TYPES, WINHTTP_FLAG_SECURE));
    if (!request) return Fail("WinHttpOpenRequest");
    ::WinHttpAddRequestHeaders(request.Get(), L"Content-Type: application/json", static_cast<DWORD>(-1),
                               WINHTTP_ADDREQ_FLAG_ADD);
    if (!::WinHttpSendRequest(request.Get(), WINHTTP_NO_ADDITIONAL_HEADERS, 0, body.data(),
                              static_cast<DWORD>(body.size()), static_cast<DWORD>(body.size()), 0)) {
        return Fail("WinHttpSendRequest");
    }
    if (!::WinHttpReceiveResponse(request.Get(), nullptr)) return Fail("WinHttpReceiveResponse");

    DWORD status = 0;
    DWORD size = sizeof status;
    if (!::WinHttpQueryHeaders(request.Get(), WINHTTP_QUERY_STATUS_CODE | WINHTTP_QUERY_FLAG_NUMBER,
                               WINHTTP_HEADER_NAME_BY_INDEX, &status, &size, WINHTTP_NO_HEADER_INDEX)) {
        return Fail("WinHttpQueryHeaders");
    }
    std::string answer;
    for (;;) {
        DWORD available = 0;
        if (!::WinHttpQueryDataAvailable(request.Get(), &available)) return Fail("WinHttpQueryDataAvailable");
        if (available == 0) break;
        std::string chunk(available, '\0');
        DWORD read = 0;
        if (!::WinHttpReadData(request.Get(), chunk.data(), available, &read)) return Fail("WinHttpReadData");
        answer.append(chunk, 0, read);
    }
    std::printf("https_probe: status %lu, %zu bytes\n%s\n", status, answer.size(), answer.c_str());
    return 0;
}
