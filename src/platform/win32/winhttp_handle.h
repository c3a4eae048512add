#pragma once
// Owner for the session, connection and request handles of WinHTTP.
#include <windows.h>
#include <winhttp.h>

#include <memory>
#include <type_traits>

namespace tessary::win32 {

struct WinHttpCloser {
    void operator()(HINTERNET handle) const { ::WinHttpCloseHandle(handle); }
};

using WinHttpHandle = std::unique_ptr<std::remove_pointer_t<HINTERNET>, WinHttpCloser>;

}  // namespace tessary::win32
