#include <windows.h>

#include "platform/win32/failure.h"
#include "platform/win32/win32_ports.h"

namespace tessary::win32 {
namespace {

constexpr int kLocaleBufferSize = 85;

class Win32Locale : public platform::LocalePort {
public:
    platform::Result<std::wstring> GetUserDefaultLocaleName() const override {
        wchar_t name[kLocaleBufferSize] = {};
        if (::GetUserDefaultLocaleName(name, kLocaleBufferSize) == 0)
            return FailWithLastError("GetUserDefaultLocaleName");
        return std::wstring(name);
    }

    platform::Result<std::wstring> GetNativeLanguageName(const std::wstring& localeName) const override {
        wchar_t name[kLocaleBufferSize] = {};
        // Asking about a locale the system does not know is routine (the language list tries
        // names in turn), so that failure is not reported.
        if (::GetLocaleInfoEx(localeName.c_str(), LOCALE_SNATIVELANGNAME, name, kLocaleBufferSize) == 0) {
            return platform::Failure{::GetLastError()};
        }
        return std::wstring(name);
    }
};

}  // namespace

std::shared_ptr<platform::LocalePort> MakeLocalePort() { return std::make_shared<Win32Locale>(); }

}  // namespace tessary::win32
