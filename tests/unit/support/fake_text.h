#pragma once
#include <string>
#include <string_view>

#include "platform/text_port.h"

namespace tessary::testing {

// UTF-8 is converted for real; both ANSI pages are Latin-1, which is enough to tell them apart
// from UTF-8 in tests.
class FakeText : public platform::TextPort {
public:
    platform::Result<std::wstring> ToWide(platform::CodePage page, std::string_view text) const override;
    platform::Result<std::string> ToNarrow(platform::CodePage page, std::wstring_view text) const override;

    // Every conversion in that direction fails, as the system's can.
    bool toWideFails = false;
    bool toNarrowFails = false;
};

}  // namespace tessary::testing
