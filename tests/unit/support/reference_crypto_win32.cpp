#include "platform/win32/win32_crypto.h"
#include "reference_crypto.h"

namespace tessary::testing {

// Under Wine the port itself is the reference; a test whose digest cannot be made fails on Value().
std::array<std::uint8_t, 32> ReferenceSha256(std::string_view bytes) {
    return win32::Win32Crypto().Sha256(bytes).Value();
}
std::array<std::uint8_t, 16> ReferenceMd5(std::string_view bytes) { return win32::Win32Crypto().Md5(bytes).Value(); }

}  // namespace tessary::testing
