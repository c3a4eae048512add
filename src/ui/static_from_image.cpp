#include "ui/static_from_image.h"

#include <commctrl.h>

#include "platform/diagnostics.h"

#include "platform/win32/gdiplus_image.h"
#include "platform/win32/win32_image.h"

namespace tessary {
namespace {

constexpr UINT_PTR kSubclassId = 0x1407;

}  // namespace

CStaticFromImage::~CStaticFromImage() { Detach(); }

void CStaticFromImage::Attach(HWND control) {
    Detach();
    m_hwnd = control;
    if (m_hwnd) ::SetWindowSubclass(m_hwnd, SubclassProc, kSubclassId, reinterpret_cast<DWORD_PTR>(this));
}

void CStaticFromImage::Detach() {
    if (m_hwnd && ::IsWindow(m_hwnd)) ::RemoveWindowSubclass(m_hwnd, SubclassProc, kSubclassId);
    m_hwnd = nullptr;
}

void CStaticFromImage::SetImage(std::shared_ptr<platform::Image> image) {
    m_image = std::move(image);
    if (m_hwnd) ::InvalidateRect(m_hwnd, nullptr, TRUE);
}

void CStaticFromImage::LoadFromResource(int number, const wchar_t* type) {
    m_image = win32::LoadImageFromResource(::GetModuleHandleW(nullptr), number, type);
    if (m_hwnd) ::InvalidateRect(m_hwnd, nullptr, TRUE);
}

void CStaticFromImage::Paint() {
    PAINTSTRUCT paint{};
    const HDC dc = ::BeginPaint(m_hwnd, &paint);
    RECT client{};
    ::GetClientRect(m_hwnd, &client);
    win32::DrawImageStretched(dc, m_image.get(), client.right - client.left, client.bottom - client.top);
    ::EndPaint(m_hwnd, &paint);
}

LRESULT CALLBACK CStaticFromImage::SubclassProc(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam, UINT_PTR,
                                                DWORD_PTR self) {
    // GuardCallback catches what escapes a handler and reports it; the message then goes to the
    // control's own procedure.
    return platform::GuardCallback(
        "image control subclass procedure",
        [&]() -> LRESULT {
            auto* control = reinterpret_cast<CStaticFromImage*>(self);
            switch (message) {
                case WM_PAINT:
                    control->Paint();
                    return 0;
                case WM_NCDESTROY:
                    ::RemoveWindowSubclass(hwnd, SubclassProc, kSubclassId);
                    control->m_hwnd = nullptr;
                    break;
                default:
                    break;
            }
            return ::DefSubclassProc(hwnd, message, wParam, lParam);
        },
        [&] { return ::DefSubclassProc(hwnd, message, wParam, lParam); });
}

}  // namespace tessary
