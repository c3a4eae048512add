#pragma once
#include <string>

namespace tessary {

// UTF-8 to wide text. Throws std::runtime_error "MultiByteToWideChar() failed: N" when the system
// cannot convert a non-empty text.
std::wstring Utf8ToWide(const std::string& text);

}  // namespace tessary
