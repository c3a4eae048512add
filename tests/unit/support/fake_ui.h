#pragma once
#include <mutex>
#include <optional>
#include <string>
#include <vector>

#include "platform/ui_port.h"

namespace tessary::testing {

class FakeUi : public platform::UiPort {
public:
    struct Message {
        std::wstring text;
        std::optional<std::wstring> caption;
        unsigned style = 0;
    };
    struct Posted {
        platform::WindowHandle window = 0;
        unsigned message = 0;
        std::uintptr_t wParam = 0;
        std::intptr_t lParam = 0;
        bool operator==(const Posted&) const = default;
    };
    int ShowMessage(const std::wstring& text, const std::optional<std::wstring>& caption, unsigned style) override;
    void PostToWindow(platform::WindowHandle window, unsigned message, std::uintptr_t wParam,
                      std::intptr_t lParam) override;
    std::vector<Posted> PostedMessages() const;

    std::vector<Message> messages;
    int answer = platform::kIdOk;

private:
    mutable std::mutex m_mutex;  // workers post while the test reads
    std::vector<Posted> m_posted;
};

}  // namespace tessary::testing
