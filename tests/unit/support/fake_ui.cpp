#include "fake_ui.h"

namespace tessary::testing {

int FakeUi::ShowMessage(const std::wstring& text, const std::optional<std::wstring>& caption, unsigned style) {
    messages.push_back({text, caption, style});
    return answer;
}

void FakeUi::PostToWindow(platform::WindowHandle window, unsigned message, std::uintptr_t wParam,
                          std::intptr_t lParam) {
    const std::lock_guard lock(m_mutex);
    m_posted.push_back({window, message, wParam, lParam});
}

std::vector<FakeUi::Posted> FakeUi::PostedMessages() const {
    const std::lock_guard lock(m_mutex);
    return m_posted;
}

}  // namespace tessary::testing
