#pragma once
#include <cstdint>
#include <optional>
#include <string>

namespace tessary::platform {

// Message box styles and answers, with the values Windows gives them.
inline constexpr unsigned kMbOk = 0x0;
inline constexpr unsigned kMbOkCancel = 0x1;
inline constexpr unsigned kMbIconError = 0x10;
inline constexpr unsigned kMbIconQuestion = 0x20;
inline constexpr unsigned kMbSystemModal = 0x1000;
inline constexpr int kIdOk = 1;

// A window as portable code holds it (an HWND on Windows).
using WindowHandle = std::uintptr_t;

class UiPort {
public:
    virtual ~UiPort() = default;
    // Shows a message box without owner. An absent caption means the application's own caption.
    virtual int ShowMessage(const std::wstring& text, const std::optional<std::wstring>& caption, unsigned style) = 0;
    // Posts a message to a window from any thread; a window that is gone loses it.
    virtual void PostToWindow(WindowHandle window, unsigned message, std::uintptr_t wParam, std::intptr_t lParam) = 0;
};

}  // namespace tessary::platform
