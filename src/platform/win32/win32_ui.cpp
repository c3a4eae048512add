#include <windows.h>

#include "platform/win32/win32_ports.h"

namespace tessary::win32 {
namespace {

// The caption message boxes get when none is given: the executable's name without extension.
std::wstring ApplicationCaption() {
    wchar_t path[MAX_PATH] = {};
    ::GetModuleFileNameW(nullptr, path, MAX_PATH);
    std::wstring name = path;
    name = name.substr(name.find_last_of(L"\\/") + 1);
    return name.substr(0, name.find_last_of(L'.'));
}

class Win32Ui : public platform::UiPort {
public:
    int ShowMessage(const std::wstring& text, const std::optional<std::wstring>& caption, unsigned style) override {
        const std::wstring title = caption ? *caption : ApplicationCaption();
        return ::MessageBoxW(nullptr, text.c_str(), title.c_str(), style);
    }

    void PostToWindow(platform::WindowHandle window, unsigned message, std::uintptr_t wParam,
                      std::intptr_t lParam) override {
        ::PostMessageW(reinterpret_cast<HWND>(window), message, static_cast<WPARAM>(wParam),
                       static_cast<LPARAM>(lParam));
    }
};

}  // namespace

std::shared_ptr<platform::UiPort> MakeUiPort() { return std::make_shared<Win32Ui>(); }

}  // namespace tessary::win32
