#include "platform/win32/win32_crypto.h"

#include <windows.h>
#include <wincrypt.h>

#include <stdexcept>

#include "platform/win32/win32_ports.h"

namespace tessary::win32 {
namespace {

class CryptContext {
public:
    explicit CryptContext(DWORD providerType) {
        if (!::CryptAcquireContextW(&m_handle, nullptr, nullptr, providerType, CRYPT_VERIFYCONTEXT)) {
            throw std::runtime_error("CryptAcquireContext failed");
        }
    }
    ~CryptContext() { ::CryptReleaseContext(m_handle, 0); }
    CryptContext(const CryptContext&) = delete;
    CryptContext& operator=(const CryptContext&) = delete;
    HCRYPTPROV Get() const { return m_handle; }

private:
    HCRYPTPROV m_handle = 0;
};

class CryptHash {
public:
    CryptHash(const CryptContext& context, ALG_ID algorithm) {
        if (!::CryptCreateHash(context.Get(), algorithm, 0, 0, &m_handle)) {
            throw std::runtime_error("CryptCreateHash failed");
        }
    }
    ~CryptHash() { ::CryptDestroyHash(m_handle); }
    CryptHash(const CryptHash&) = delete;
    CryptHash& operator=(const CryptHash&) = delete;
    HCRYPTHASH Get() const { return m_handle; }

private:
    HCRYPTHASH m_handle = 0;
};

template <std::size_t N>
std::array<std::uint8_t, N> Digest(DWORD providerType, ALG_ID algorithm, std::string_view bytes) {
    const CryptContext context(providerType);
    const CryptHash hash(context, algorithm);
    if (!::CryptHashData(hash.Get(), reinterpret_cast<const BYTE*>(bytes.data()), static_cast<DWORD>(bytes.size()),
                         0)) {
        throw std::runtime_error("CryptHashData failed");
    }
    std::array<std::uint8_t, N> out{};
    DWORD size = N;
    if (!::CryptGetHashParam(hash.Get(), HP_HASHVAL, out.data(), &size, 0) || size != N) {
        throw std::runtime_error("CryptGetHashParam failed");
    }
    return out;
}

}  // namespace

std::array<std::uint8_t, 32> Win32Crypto::Sha256(std::string_view bytes) const {
    // SHA-256 lives in the AES provider; the plain RSA one has no such algorithm.
    return Digest<32>(PROV_RSA_AES, CALG_SHA_256, bytes);
}

std::array<std::uint8_t, 16> Win32Crypto::Md5(std::string_view bytes) const {
    return Digest<16>(PROV_RSA_FULL, CALG_MD5, bytes);
}

std::shared_ptr<platform::CryptoPort> MakeCryptoPort() { return std::make_shared<Win32Crypto>(); }

}  // namespace tessary::win32
