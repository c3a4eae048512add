#pragma once
#include <array>
#include <cstdint>
#include <string_view>

#include "platform/crypto_port.h"

namespace tessary::testing {

class FakeCrypto : public platform::CryptoPort {
public:
    std::array<std::uint8_t, 32> Sha256(std::string_view bytes) const override;
    std::array<std::uint8_t, 16> Md5(std::string_view bytes) const override;
    bool fails = false;
};

}  // namespace tessary::testing
