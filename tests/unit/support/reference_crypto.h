#pragma once
#include <array>
#include <cstdint>
#include <string_view>

namespace tessary::testing {

// Digests from a trusted implementation: OpenSSL natively, CryptoAPI under Wine.
std::array<std::uint8_t, 32> ReferenceSha256(std::string_view bytes);
std::array<std::uint8_t, 16> ReferenceMd5(std::string_view bytes);

}  // namespace tessary::testing
