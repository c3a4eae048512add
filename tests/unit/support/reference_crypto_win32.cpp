#include "platform/win32/win32_crypto.h"
#include "reference_crypto.h"

namespace tessary::testing {

std::array<std::uint8_t, 32> ReferenceSha256(std::string_view bytes) { return win32::Win32Crypto().Sha256(bytes); }
std::array<std::uint8_t, 16> ReferenceMd5(std::string_view bytes) { return win32::Win32Crypto().Md5(bytes); }

}  // namespace tessary::testing
