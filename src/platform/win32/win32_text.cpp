#include <windows.h>

#include "platform/win32/failure.h"
#include "platform/win32/win32_ports.h"

namespace tessary::win32 {
namespace {

UINT ToWindowsCodePage(platform::CodePage page) {
    switch (page) {
        case platform::CodePage::Utf8:
            return CP_UTF8;
        case platform::CodePage::ThreadAnsi:
            return CP_THREAD_ACP;
        case platform::CodePage::FileSystem:
            return ::AreFileApisANSI() ? CP_ACP : CP_OEMCP;
    }
    return CP_ACP;
}

class Win32Text : public platform::TextPort {
public:
    platform::Result<std::wstring> ToWide(platform::CodePage page, std::string_view text) const override {
        if (text.empty()) return std::wstring();
        const UINT cp = ToWindowsCodePage(page);
        const int size = ::MultiByteToWideChar(cp, 0, text.data(), static_cast<int>(text.size()), nullptr, 0);
        if (size < 1) return FailWithLastError("MultiByteToWideChar");
        std::wstring out(static_cast<std::size_t>(size), L'\0');
        if (::MultiByteToWideChar(cp, 0, text.data(), static_cast<int>(text.size()), out.data(), size) != size) {
            return FailWithLastError("MultiByteToWideChar");
        }
        return out;
    }

    platform::Result<std::string> ToNarrow(platform::CodePage page, std::wstring_view text) const override {
        if (text.empty()) return std::string();
        const UINT cp = ToWindowsCodePage(page);
        const int size =
            ::WideCharToMultiByte(cp, 0, text.data(), static_cast<int>(text.size()), nullptr, 0, nullptr, nullptr);
        if (size < 1) return FailWithLastError("WideCharToMultiByte");
        std::string out(static_cast<std::size_t>(size), '\0');
        if (::WideCharToMultiByte(cp, 0, text.data(), static_cast<int>(text.size()), out.data(), size, nullptr,
                                  nullptr) != size) {
            return FailWithLastError("WideCharToMultiByte");
        }
        return out;
    }
};

}  // namespace

std::shared_ptr<platform::TextPort> MakeTextPort() { return std::make_shared<Win32Text>(); }

}  // namespace tessary::win32
