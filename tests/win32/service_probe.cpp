#include "service_probe.h"

#include <windows.h>
#include <winhttp.h>

#include "platform/win32/winhttp_handle.h"

namespace tessary::testing {

// True unless nothing accepts connections on localhost:443; a TLS failure still counts as
// listening, so that it fails the tests that need the service instead of skipping them.
bool ServiceListens() {
    const win32::WinHttpHandle session(::WinHttpOpen(nullptr, WINHTTP_ACCESS_TYPE_DEFAULT_PROXY, WINHTTP_NO_PROXY_NAME,
                                                     WINHTTP_NO_PROXY_BYPASS, 0));
    const win32::WinHttpHandle connection(
        session ? ::WinHttpConnect(session.Get(), L"localhost", INTERNET_DEFAULT_HTTPS_PORT, 0) : nullptr);
    const win32::WinHttpHandle request(connection ? ::WinHttpOpenRequest(connection.Get(), L"GET", L"/", nullptr,
                                                                         WINHTTP_NO_REFERER,
                                                                         WINHTTP_DEFAULT_ACCEPT_TYPES,
                                                                         WINHTTP_FLAG_SECURE)
                                                  : nullptr);
    if (!request) return false;
    if (::WinHttpSendRequest(request.Get(), WINHTTP_NO_ADDITIONAL_HEADERS, 0, WINHTTP_NO_REQUEST_DATA, 0, 0, 0)) {
        return true;
    }
    return ::GetLastError() != ERROR_WINHTTP_CANNOT_CONNECT;
}

}  // namespace tessary::testing
