#pragma once
#include <array>
#include <cstdint>
#include <string_view>

namespace tessary::platform {

// Digests come from the platform's crypto provider; we write no hash function ourselves.
// Both throw std::runtime_error naming the step that failed.
class CryptoPort {
public:
    virtual ~CryptoPort() = default;
    virtual std::array<std::uint8_t, 32> Sha256(std::string_view bytes) const = 0;
    virtual std::array<std::uint8_t, 16> Md5(std::string_view bytes) const = 0;
};

}  // namespace tessary::platform
