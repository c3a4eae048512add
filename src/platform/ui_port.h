#pragma once
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

class UiPort {
public:
    virtual ~UiPort() = default;
    // Shows a message box without owner. An absent caption means the application's own caption.
    virtual int ShowMessage(const std::wstring& text, const std::optional<std::wstring>& caption, unsigned style) = 0;
};

}  // namespace tessary::platform
