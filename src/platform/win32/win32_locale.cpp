#include <windows.h>

#include "platform/win32/win32_ports.h"

namespace tessary::win32 {
namespace {

constexpr int kLocaleBufferSize = 85;

class Win32Locale : public platform::LocalePort {
public:
    std::optional<std::wstring> GetUserDefaultLocaleName() const override {
        wchar_t name[kLocaleBufferSize] = {};
        if (::GetUserDefaultLocaleName(name, kLocaleBufferSize) == 0) return std::nullopt;
        return std::wstring(name);
    }

    std::optional<std::wstring> GetNativeLanguageName(const std::wstring& localeName) const override {
        wchar_t name[kLocaleBufferSize] = {};
        if (::GetLocaleInfoEx(localeName.c_str(), LOCALE_SNATIVELANGNAME, name, kLocaleBufferSize) == 0) {
            return std::nullopt;
        }
        return std::wstring(name);
    }
};

}  // namespace

std::shared_ptr<platform::LocalePort> MakeLocalePort() { return std::make_shared<Win32Locale>(); }

}  // namespace tessary::win32
