#pragma once
// Numbers read from texts that come from outside (the configuration document, registry data).
// None of these throws: a text that holds no number, or one that does not fit, gives nothing, and
// the answer is the same in a 32-bit and a 64-bit build.
#include <cstdint>
#include <optional>
#include <string_view>

namespace tessary {

// A decimal number the way the standard library's stoul/stoull read one: leading white space and
// a "+" are skipped, the digits that follow are the number and anything after them is ignored
// ("010" is 10, "5 MB" is 5). A "-" sign gives nothing rather than a number wrapped round.
std::optional<std::uint32_t> ParseDecimal32(std::wstring_view text);
std::optional<std::uint64_t> ParseDecimal64(std::wstring_view text);

// The leading decimal number of a text with an optional fraction, the way stof reads one
// ("9.11.19041.0" is 9.11). Exponents are not read; the dotted versions this serves have none.
std::optional<float> ParseLeadingFloat(std::wstring_view text);

// The leading digits of a text as a number, 0 when it has none, the way _wtoi reads a version
// component; values above the int range give the int maximum.
int LeadingDigitsOrZero(std::wstring_view text);

}  // namespace tessary
