#pragma once
#include <string>

#include "platform/result.h"

namespace tessary::platform {

class LocalePort {
public:
    virtual ~LocalePort() = default;
    virtual Result<std::wstring> GetUserDefaultLocaleName() const = 0;
    // The language's own name for itself ("English", "Русский"); fails for an unknown locale.
    virtual Result<std::wstring> GetNativeLanguageName(const std::wstring& localeName) const = 0;
};

}  // namespace tessary::platform
