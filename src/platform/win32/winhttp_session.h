#pragma once
// How the program opens every WinHTTP session: the proxy and the secure protocols by the version
// of Windows it runs on.
#include <windows.h>
#include <winhttp.h>

#include "platform/system_port.h"

namespace tessary::win32 {

// Windows 7 does not find its proxy by itself; there the default proxy settings serve.
inline DWORD SessionProxyAccess(const platform::SystemPort& system) {
    constexpr DWORD kAutomaticProxy = 4;  // WINHTTP_ACCESS_TYPE_AUTOMATIC_PROXY, missing from older headers
    const bool windows7 = system.IsVersionAtLeast(6, 1, 0) && !system.IsVersionAtLeast(6, 2, 0);
    return windows7 ? WINHTTP_ACCESS_TYPE_DEFAULT_PROXY : kAutomaticProxy;
}

// TLS 1.1 and 1.2 exist only from Windows 7 with its first service pack on.
inline DWORD SecureProtocols(const platform::SystemPort& system) {
    constexpr DWORD kSsl3AndTls10 = 0xA0;    // WINHTTP_FLAG_SECURE_PROTOCOL_SSL3 | _TLS1
    constexpr DWORD kTls11AndTls12 = 0xA00;  // WINHTTP_FLAG_SECURE_PROTOCOL_TLS1_1 | _TLS1_2
    return system.IsVersionAtLeast(6, 1, 1) ? kSsl3AndTls10 | kTls11AndTls12 : kSsl3AndTls10;
}

}  // namespace tessary::win32
