#pragma once
#include <map>
#include <optional>
#include <string>

#include "platform/locale_port.h"

namespace tessary::testing {

class FakeLocale : public platform::LocalePort {
public:
    platform::Result<std::wstring> GetUserDefaultLocaleName() const override;
    platform::Result<std::wstring> GetNativeLanguageName(const std::wstring& localeName) const override;

    std::optional<std::wstring> userLocale = L"en-US";
    // Locale name → native language name; the common ones are filled in.
    std::map<std::wstring, std::wstring> nativeNames;
    FakeLocale();
};

}  // namespace tessary::testing
