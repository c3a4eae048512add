#include "ui/static_from_image.h"

#include "platform/win32/gdiplus_image.h"
#include "platform/win32/win32_image.h"
#include "ui/device_context.h"

namespace tessary {

void CStaticFromImage::SetImage(std::shared_ptr<platform::Image> image) {
    m_image = std::move(image);
    Repaint();
}

void CStaticFromImage::LoadFromResource(int number, const wchar_t* type) {
    m_image = win32::LoadImageFromResource(::GetModuleHandleW(nullptr), number, type);
    Repaint();
}

void CStaticFromImage::Repaint() {
    if (const HWND hwnd = GetSafeHwnd()) ::InvalidateRect(hwnd, nullptr, TRUE);
}

void CStaticFromImage::Paint() {
    const HWND hwnd = GetSafeHwnd();
    const ui::PaintScope paint(hwnd);
    RECT client{};
    ::GetClientRect(hwnd, &client);
    win32::DrawImageStretched(paint.Dc(), m_image.get(), client.right - client.left, client.bottom - client.top);
}

bool CStaticFromImage::OnMessage(UINT message, WPARAM, LPARAM, LRESULT& result) {
    if (message != WM_PAINT) return false;
    Paint();
    result = 0;
    return true;
}

}  // namespace tessary
