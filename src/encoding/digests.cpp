#include "encoding/digests.h"

#include <array>
#include <cstdint>

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

platform::Result<std::string> Sha256Hex(const std::string& text) {
    const auto digest = platform::Crypto().Sha256(text);
    if (!digest) return platform::Failure{digest.GetStatus()};
    return ToLowerHex(*digest);
}

std::string Md5Hex(const std::wstring& text) {
    // The digest only tags a request; without one the request still goes out. A text that cannot
    // be converted has no digest: the digest of no bytes would tag the request wrongly.
    const auto ansi = platform::Text().ToNarrow(platform::CodePage::ThreadAnsi, text);
    if (!ansi) return {};
    const auto digest = platform::Crypto().Md5(*ansi);
    if (!digest) return {};
    return ToLowerHex(*digest);
}

}  // namespace tessary
