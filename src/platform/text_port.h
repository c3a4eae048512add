#pragma once
#include <string>
#include <string_view>

#include "platform/result.h"

namespace tessary::platform {

// The three narrow encodings the program converts between.
enum class CodePage {
    Utf8,
    ThreadAnsi,  // the calling thread's ANSI code page
    FileSystem,  // the system ANSI code page, or UTF-8 when the process code page is UTF-8
};

class TextPort {
public:
    virtual ~TextPort() = default;
    // Narrow to wide. Fails only when the conversion itself fails.
    virtual Result<std::wstring> ToWide(CodePage page, std::string_view text) const = 0;
    // Wide to narrow; characters the code page cannot hold become its default character. Fails
    // only when the conversion itself fails.
    virtual Result<std::string> ToNarrow(CodePage page, std::wstring_view text) const = 0;
};

}  // namespace tessary::platform
