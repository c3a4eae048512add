#pragma once
#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

namespace tessary {

// The bytes read as one big-endian number, written in base 62 ("0-9a-zA-Z"), most significant
// digit first. Leading zero bytes are lost, so all-zero or empty input gives the empty string.
std::string Base62Encode(const std::vector<std::uint8_t>& bytes);
std::string Base62Encode(std::string_view bytes);

}  // namespace tessary
