#include "fake_crypto.h"

#include <stdexcept>

#include "reference_crypto.h"

namespace tessary::testing {

std::array<std::uint8_t, 32> FakeCrypto::Sha256(std::string_view bytes) const {
    if (fails) throw std::runtime_error("CryptAcquireContext failed");
    return ReferenceSha256(bytes);
}

std::array<std::uint8_t, 16> FakeCrypto::Md5(std::string_view bytes) const {
    if (fails) throw std::runtime_error("CryptAcquireContext failed");
    return ReferenceMd5(bytes);
}

}  // namespace tessary::testing
