#include "fake_text.h"

#include "utf8_codec.h"

namespace tessary::testing {
namespace {

constexpr platform::Status kNoUnicodeTranslation = 1113;  // ERROR_NO_UNICODE_TRANSLATION

}  // namespace

platform::Result<std::wstring> FakeText::ToWide(platform::CodePage page, std::string_view text) const {
    if (toWideFails) return platform::Failure{kNoUnicodeTranslation};
    if (page == platform::CodePage::Utf8) return DecodeUtf8(text);
    std::wstring out;
    for (char c : text) out.push_back(static_cast<wchar_t>(static_cast<unsigned char>(c)));
    return out;
}

platform::Result<std::string> FakeText::ToNarrow(platform::CodePage page, std::wstring_view text) const {
    if (toNarrowFails) return platform::Failure{kNoUnicodeTranslation};
    if (page == platform::CodePage::Utf8) return EncodeUtf8(text);
    std::string out;
    for (wchar_t c : text) out.push_back(static_cast<unsigned>(c) < 0x100 ? static_cast<char>(c) : '?');
    return out;
}

}  // namespace tessary::testing
