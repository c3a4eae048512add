#pragma once
#include <windows.h>

#include <mutex>

namespace tessary::ui {

// A worker's way back to a window that may be gone by the time the work is done: the worker
// posts through the token, which its owner revokes before the window goes. Shared by the owner
// and the workers.
class WindowToken {
public:
    explicit WindowToken(HWND window) : m_window(window) {}

    // Posts to the window unless the token has been revoked; false when nothing was posted.
    bool Post(UINT message, WPARAM wParam, LPARAM lParam) {
        std::lock_guard lock(m_mutex);
        return m_window && ::PostMessageW(m_window, message, wParam, lParam);
    }
    // After this returns, no post reaches the window any more.
    void Revoke() {
        std::lock_guard lock(m_mutex);
        m_window = nullptr;
    }

private:
    std::mutex m_mutex;
    HWND m_window;
};

}  // namespace tessary::ui
