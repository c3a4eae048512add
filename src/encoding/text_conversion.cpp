#include "encoding/text_conversion.h"

#include <stdexcept>

#include "platform/ports.h"

namespace tessary {

std::wstring Utf8ToWide(const std::string& text) {
    if (text.empty()) return {};
    auto wide = platform::Text().ToWide(platform::CodePage::Utf8, text);
    // The system's sizing call answers 0 when it fails; that is the number the message carries.
    if (!wide) throw std::runtime_error("MultiByteToWideChar() failed: 0");
    return std::move(*wide);
}

}  // namespace tessary
