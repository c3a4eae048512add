#pragma once
// How the program opens every WinHTTP session: the proxy and the secure protocols by the version
// of Windows it runs on.
#include <windows.h>
#include <winhttp.h>

#include "platform/system_port.h"

namespace tessary::win32 {

// WinHTTP finds the proxy by itself only from Windows 8.1 on and refuses the request for it on
// anything older; there the default proxy settings serve.
inline DWORD SessionProxyAccess(const platform::SystemPort& system) {
    constexpr DWORD kAutomaticProxy = 4;  // WINHTTP_ACCESS_TYPE_AUTOMATIC_PROXY, missing from older headers
    return system.IsVersionAtLeast(6, 3, 0) ? kAutomaticProxy : WINHTTP_ACCESS_TYPE_DEFAULT_PROXY;
}

// TLS 1.1 and 1.2 exist only from Windows 7 with its first service pack on.
inline DWORD SecureProtocols(const platform::SystemPort& system) {
    constexpr DWORD kSsl3AndTls10 = 0xA0;    // WINHTTP_FLAG_SECURE_PROTOCOL_SSL3 | _TLS1
    constexpr DWORD kTls11AndTls12 = 0xA00;  // WINHTTP_FLAG_SECURE_PROTOCOL_TLS1_1 | _TLS1_2
    return system.IsVersionAtLeast(6, 1, 1) ? kSsl3AndTls10 | kTls11AndTls12 : kSsl3AndTls10;
}

}  // namespace tessary::win32
