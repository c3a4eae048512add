#include "fake_crypto.h"

#include "reference_crypto.h"

namespace tessary::testing {

platform::Result<std::array<std::uint8_t, 32>> FakeCrypto::Sha256(std::string_view bytes) const {
    if (failure) return platform::Failure{failure};
    return ReferenceSha256(bytes);
}

platform::Result<std::array<std::uint8_t, 16>> FakeCrypto::Md5(std::string_view bytes) const {
    if (failure) return platform::Failure{failure};
    return ReferenceMd5(bytes);
}

}  // namespace tessary::testing
