#include <openssl/evp.h>

#include <stdexcept>

#include "reference_crypto.h"

namespace tessary::testing {
namespace {

template <std::size_t N>
std::array<std::uint8_t, N> Digest(const EVP_MD* md, std::string_view bytes) {
    std::array<std::uint8_t, N> out{};
    unsigned int length = 0;
    if (EVP_Digest(bytes.data(), bytes.size(), out.data(), &length, md, nullptr) != 1 || length != N) {
        throw std::runtime_error("EVP_Digest failed");
    }
    return out;
}

}  // namespace

std::array<std::uint8_t, 32> ReferenceSha256(std::string_view bytes) { return Digest<32>(EVP_sha256(), bytes); }
std::array<std::uint8_t, 16> ReferenceMd5(std::string_view bytes) { return Digest<16>(EVP_md5(), bytes); }

}  // namespace tessary::testing
