#pragma once
#include <array>
#include <cstdint>
#include <string_view>

#include "platform/result.h"

namespace tessary::platform {

// Digests come from the platform's crypto provider; we write no hash function ourselves.
// A failure carries the status of the provider's step that failed.
class CryptoPort {
public:
    virtual ~CryptoPort() = default;
    virtual Result<std::array<std::uint8_t, 32>> Sha256(std::string_view bytes) const = 0;
    virtual Result<std::array<std::uint8_t, 16>> Md5(std::string_view bytes) const = 0;
};

}  // namespace tessary::platform
