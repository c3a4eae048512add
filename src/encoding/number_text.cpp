#include "encoding/number_text.h"

#include <cmath>
#include <limits>

namespace tessary {
namespace {

bool IsSpace(wchar_t c) { return c == L' ' || (c >= L'\t' && c <= L'\r'); }
bool IsDigit(wchar_t c) { return c >= L'0' && c <= L'9'; }

// Skips the white space and the sign in front of a number; false for a minus sign.
bool SkipLead(std::wstring_view& text, bool allowMinus, bool* negative = nullptr) {
    while (!text.empty() && IsSpace(text.front())) text.remove_prefix(1);
    if (!text.empty() && (text.front() == L'+' || text.front() == L'-')) {
        const bool minus = text.front() == L'-';
        if (minus && !allowMinus) return false;
        if (negative) *negative = minus;
        text.remove_prefix(1);
    }
    return true;
}

}  // namespace

std::optional<std::uint64_t> ParseDecimal64(std::wstring_view text) {
    if (!SkipLead(text, false)) return std::nullopt;
    if (text.empty() || !IsDigit(text.front())) return std::nullopt;
    std::uint64_t value = 0;
    constexpr auto kMax = std::numeric_limits<std::uint64_t>::max();
    for (; !text.empty() && IsDigit(text.front()); text.remove_prefix(1)) {
        const auto digit = static_cast<std::uint64_t>(text.front() - L'0');
        if (value > (kMax - digit) / 10) return std::nullopt;
        value = value * 10 + digit;
    }
    return value;
}

std::optional<std::uint32_t> ParseDecimal32(std::wstring_view text) {
    const auto value = ParseDecimal64(text);
    if (!value || *value > std::numeric_limits<std::uint32_t>::max()) return std::nullopt;
    return static_cast<std::uint32_t>(*value);
}

std::optional<float> ParseLeadingFloat(std::wstring_view text) {
    bool negative = false;
    SkipLead(text, true, &negative);
    // Digits are gathered as an integer and a power of ten, then divided once, so the result is
    // the nearest float to the written number for the short texts this reads.
    double whole = 0;
    double scale = 1;
    bool anyDigit = false;
    for (; !text.empty() && IsDigit(text.front()); text.remove_prefix(1)) {
        whole = whole * 10 + (text.front() - L'0');
        anyDigit = true;
    }
    if (!text.empty() && text.front() == L'.') {
        text.remove_prefix(1);
        // Once the number holds 17 significant digits, further ones cannot change a float. Zeros
        // right after the point are not significant: "0.000...0125" keeps its 125.
        constexpr double kSignificantEnough = 1e17;
        for (; !text.empty() && IsDigit(text.front()); text.remove_prefix(1)) {
            anyDigit = true;
            if (whole >= kSignificantEnough) continue;
            whole = whole * 10 + (text.front() - L'0');
            scale *= 10;
        }
    }
    if (!anyDigit) return std::nullopt;
    const double value = whole / scale;
    if (!std::isfinite(value) || value > std::numeric_limits<float>::max()) return std::nullopt;
    return static_cast<float>(negative ? -value : value);
}

int LeadingDigitsOrZero(std::wstring_view text) {
    bool negative = false;
    SkipLead(text, true, &negative);
    long long value = 0;
    constexpr long long kMax = std::numeric_limits<int>::max();
    for (; !text.empty() && IsDigit(text.front()); text.remove_prefix(1)) {
        value = value * 10 + (text.front() - L'0');
        if (value > kMax) value = kMax;
    }
    return static_cast<int>(negative ? -value : value);
}

}  // namespace tessary
