#include "encoding/base62.h"

#include <cmath>
#include <stdexcept>

namespace tessary {
namespace {

constexpr std::string_view kAlphabet = "0123456789abcdefghijklmnopqrstuvwxyzABCDEFGHIJKLMNOPQRSTUVWXYZ";
constexpr unsigned kBase = 62;

std::string Encode(const std::uint8_t* begin, const std::uint8_t* end) {
    while (begin != end && *begin == 0) ++begin;
    if (begin == end) return {};

    const auto byteCount = static_cast<double>(end - begin);
    const auto digitCount = static_cast<std::size_t>(std::ceil(byteCount * std::log(256.0) / std::log(62.0)));
    std::vector<std::uint8_t> digits(digitCount, 0);

    // Multiply the digits by 256 and add the next byte; only the positions already in use, and
    // those the carry reaches, need to be visited.
    std::size_t used = 0;
    for (const std::uint8_t* byte = begin; byte != end; ++byte) {
        unsigned carry = *byte;
        std::size_t visited = 0;
        for (auto digit = digits.rbegin(); (carry != 0 || visited < used) && digit != digits.rend();
             ++digit, ++visited) {
            carry += 256 * *digit;
            *digit = static_cast<std::uint8_t>(carry % kBase);
            carry /= kBase;
        }
        if (carry != 0) throw std::runtime_error("Non-zero carry");
        used = visited;
    }

    auto first = digits.begin();
    while (first != digits.end() && *first == 0) ++first;
    std::string out;
    out.reserve(static_cast<std::size_t>(digits.end() - first));
    for (; first != digits.end(); ++first) out.push_back(kAlphabet[*first]);
    return out;
}

}  // namespace

std::string Base62Encode(const std::vector<std::uint8_t>& bytes) {
    return Encode(bytes.data(), bytes.data() + bytes.size());
}

std::string Base62Encode(std::string_view bytes) {
    const auto* data = reinterpret_cast<const std::uint8_t*>(bytes.data());
    return Encode(data, data + bytes.size());
}

}  // namespace tessary
