#pragma once
// Owner for the session, connection and request handles of WinHTTP.
#include <windows.h>
#include <winhttp.h>

#include "platform/win32/handles.h"

namespace tessary::win32 {

inline void CloseWinHttpHandle(HINTERNET handle) { ::WinHttpCloseHandle(handle); }

using WinHttpHandle = UniqueHandle<HINTERNET, NullIsInvalid<HINTERNET, CloseWinHttpHandle>>;

}  // namespace tessary::win32
