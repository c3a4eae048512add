#include "platform/win32/win32_crypto.h"

#include <windows.h>
#include <wincrypt.h>

#include "platform/win32/crypt_handle.h"
#include "platform/win32/failure.h"
#include "platform/win32/win32_ports.h"

namespace tessary::win32 {
namespace {

// Each step that fails answers with its own status; the owners release what was acquired.
template <std::size_t N>
platform::Result<std::array<std::uint8_t, N>> Digest(DWORD providerType, ALG_ID algorithm, std::string_view bytes) {
    CryptContext context;
    if (!::CryptAcquireContextW(context.Put(), nullptr, nullptr, providerType, CRYPT_VERIFYCONTEXT)) {
        return FailWithLastError("CryptAcquireContextW");
    }
    CryptHash hash;
    if (!::CryptCreateHash(context.Get(), algorithm, 0, 0, hash.Put())) return FailWithLastError("CryptCreateHash");
    if (!::CryptHashData(hash.Get(), reinterpret_cast<const BYTE*>(bytes.data()), static_cast<DWORD>(bytes.size()),
                         0)) {
        return FailWithLastError("CryptHashData");
    }
    std::array<std::uint8_t, N> out{};
    DWORD size = N;
    if (!::CryptGetHashParam(hash.Get(), HP_HASHVAL, out.data(), &size, 0)) {
        return FailWithLastError("CryptGetHashParam");
    }
    // A provider that answers with a digest of another length has hashed with something else.
    if (size != N) return FailWith("CryptGetHashParam", static_cast<platform::Status>(NTE_BAD_LEN));
    return out;
}

}  // namespace

platform::Result<std::array<std::uint8_t, 32>> Win32Crypto::Sha256(std::string_view bytes) const {
    // SHA-256 lives in the AES provider; the plain RSA one has no such algorithm.
    return Digest<32>(PROV_RSA_AES, CALG_SHA_256, bytes);
}

platform::Result<std::array<std::uint8_t, 16>> Win32Crypto::Md5(std::string_view bytes) const {
    return Digest<16>(PROV_RSA_FULL, CALG_MD5, bytes);
}

std::shared_ptr<platform::CryptoPort> MakeCryptoPort() { return std::make_shared<Win32Crypto>(); }

}  // namespace tessary::win32
