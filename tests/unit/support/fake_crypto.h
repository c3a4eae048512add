#pragma once
#include <array>
#include <cstdint>
#include <string_view>

#include "platform/crypto_port.h"

namespace tessary::testing {

class FakeCrypto : public platform::CryptoPort {
public:
    platform::Result<std::array<std::uint8_t, 32>> Sha256(std::string_view bytes) const override;
    platform::Result<std::array<std::uint8_t, 16>> Md5(std::string_view bytes) const override;

    // The status every digest fails with, as the provider's would; 0: digests work.
    platform::Status failure = 0;
};

}  // namespace tessary::testing
