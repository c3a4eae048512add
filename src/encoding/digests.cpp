#include "encoding/digests.h"

#include <array>
#include <cstdint>
#include <exception>

#include "platform/ports.h"

namespace tessary {
namespace {

template <std::size_t N>
std::string ToLowerHex(const std::array<std::uint8_t, N>& bytes) {
    static constexpr char kDigits[] = "0123456789abcdef";
    std::string out;
    out.reserve(2 * N);
    for (std::uint8_t byte : bytes) {
        out.push_back(kDigits[byte >> 4]);
        out.push_back(kDigits[byte & 0x0F]);
    }
    return out;
}

}  // namespace

std::string Sha256Hex(const std::string& text) { return ToLowerHex(platform::Crypto().Sha256(text)); }

std::string Md5Hex(const std::wstring& text) {
    // The digest only tags a request; without one the request still goes out.
    try {
        return ToLowerHex(platform::Crypto().Md5(platform::Text().ToNarrow(platform::CodePage::ThreadAnsi, text)));
    } catch (const std::exception&) {
        return {};
    }
}

}  // namespace tessary
