#pragma once
#include "platform/crypto_port.h"

namespace tessary::win32 {

// SHA-256 and MD5 from CryptoAPI.
class Win32Crypto : public platform::CryptoPort {
public:
    platform::Result<std::array<std::uint8_t, 32>> Sha256(std::string_view bytes) const override;
    platform::Result<std::array<std::uint8_t, 16>> Md5(std::string_view bytes) const override;
};

}  // namespace tessary::win32
