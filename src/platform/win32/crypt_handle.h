#pragma once
// Owners for CryptoAPI's provider contexts and hash objects.
#include <windows.h>
#include <wincrypt.h>

#include "platform/win32/handles.h"

namespace tessary::win32 {

inline void ReleaseCryptContext(HCRYPTPROV provider) { ::CryptReleaseContext(provider, 0); }
inline void DestroyCryptHash(HCRYPTHASH hash) { ::CryptDestroyHash(hash); }

using CryptContext = UniqueHandle<HCRYPTPROV, NullIsInvalid<HCRYPTPROV, ReleaseCryptContext>>;
using CryptHash = UniqueHandle<HCRYPTHASH, NullIsInvalid<HCRYPTHASH, DestroyCryptHash>>;

}  // namespace tessary::win32
