#pragma once
#include <optional>
#include <string>
#include <string_view>

namespace tessary::testing {

// A plain UTF-8 codec for wide strings of either width (UTF-16 on Windows, UTF-32 elsewhere).
// Invalid input gives U+FFFD, as the system's converter does without its strict flag.
std::wstring DecodeUtf8(std::string_view text);
std::string EncodeUtf8(std::wstring_view text);

}  // namespace tessary::testing
