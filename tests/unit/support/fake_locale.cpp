#include "fake_locale.h"

#include "utf8_codec.h"

namespace tessary::testing {

FakeLocale::FakeLocale() {
    const std::pair<const char*, const char*> names[] = {
        {"en_US", "English"},   {"en-US", "English"},   {"en-GB", "English"}, {"en", "English"},    {"es", "español"},
        {"pt_BR", "português"}, {"pt-BR", "português"}, {"pt", "português"},  {"pl", "polski"},     {"pl-PL", "polski"},
        {"cs", "čeština"},      {"da", "dansk"},        {"de", "Deutsch"},    {"de-DE", "Deutsch"}, {"fi", "suomi"},
        {"fr", "français"},     {"fr-FR", "français"},  {"it", "italiano"},   {"nl", "Nederlands"}, {"ru", "русский"},
        {"ru-RU", "русский"},   {"tr", "Türkçe"},       {"ja-JP", "日本語"},  {"ja", "日本語"},
    };
    for (const auto& [locale, native] : names) nativeNames[DecodeUtf8(locale)] = DecodeUtf8(native);
}

platform::Result<std::wstring> FakeLocale::GetUserDefaultLocaleName() const {
    if (!userLocale) return platform::Failure{122};  // ERROR_INSUFFICIENT_BUFFER
    return *userLocale;
}

platform::Result<std::wstring> FakeLocale::GetNativeLanguageName(const std::wstring& localeName) const {
    const auto found = nativeNames.find(localeName);
    if (found == nativeNames.end()) return platform::Failure{87};  // ERROR_INVALID_PARAMETER
    return found->second;
}

}  // namespace tessary::testing
