#pragma once
// Device contexts a window draws with, each given back when its scope ends, also when a drawing
// step throws.
#include <windows.h>

namespace tessary::ui {

// BeginPaint and EndPaint around one WM_PAINT. Without the EndPaint the window's display context
// stays taken and its caret hidden.
class PaintScope {
public:
    explicit PaintScope(HWND window) : m_window(window), m_dc(::BeginPaint(window, &m_paint)) {}
    ~PaintScope() { ::EndPaint(m_window, &m_paint); }
    PaintScope(const PaintScope&) = delete;
    PaintScope& operator=(const PaintScope&) = delete;

    HDC Dc() const { return m_dc; }
    const PAINTSTRUCT& Paint() const { return m_paint; }

private:
    HWND m_window;
    PAINTSTRUCT m_paint{};
    HDC m_dc;
};

// A window's client-area context outside of painting, for measuring.
class WindowDc {
public:
    explicit WindowDc(HWND window) : m_window(window), m_dc(::GetDC(window)) {}
    ~WindowDc() {
        if (m_dc) ::ReleaseDC(m_window, m_dc);
    }
    WindowDc(const WindowDc&) = delete;
    WindowDc& operator=(const WindowDc&) = delete;

    HDC Get() const { return m_dc; }

private:
    HWND m_window;
    HDC m_dc;
};

}  // namespace tessary::ui
