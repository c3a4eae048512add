#pragma once
#include <optional>
#include <string>

namespace tessary::platform {

class LocalePort {
public:
    virtual ~LocalePort() = default;
    virtual std::optional<std::wstring> GetUserDefaultLocaleName() const = 0;
    // The language's own name for itself ("English", "Русский"); nullopt for an unknown locale.
    virtual std::optional<std::wstring> GetNativeLanguageName(const std::wstring& localeName) const = 0;
};

}  // namespace tessary::platform
