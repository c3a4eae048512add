#include "ui/link_button.h"

#include <commctrl.h>

#include "platform/diagnostics.h"

#include "ui/shell_open.h"
#include "ui/window_text.h"

namespace tessary::ui {
namespace {

constexpr UINT_PTR kSubclassId = 0x1039;
constexpr UINT kTextFormat = DT_LEFT | DT_TOP | DT_SINGLELINE | DT_NOPREFIX;
// The blue of hyperlinks on Windows. The system's hot-tracking colour would follow the theme, but
// some systems set it to a pale grey that leaves the link unreadable on the page.
constexpr COLORREF kLinkColor = RGB(0x00, 0x66, 0xCC);

// Keeps a font selected into a device context for one scope.
class SelectedFont {
public:
    SelectedFont(HDC dc, HFONT font) : m_dc(dc), m_previous(font ? ::SelectObject(dc, font) : nullptr) {}
    ~SelectedFont() {
        if (m_previous) ::SelectObject(m_dc, m_previous);
    }
    SelectedFont(const SelectedFont&) = delete;
    SelectedFont& operator=(const SelectedFont&) = delete;

private:
    HDC m_dc;
    HGDIOBJ m_previous;
};

}  // namespace

LinkButton::~LinkButton() { Detach(); }

void LinkButton::Attach(HWND button) {
    Detach();
    m_hwnd = button;
    if (m_hwnd) ::SetWindowSubclass(m_hwnd, SubclassProc, kSubclassId, reinterpret_cast<DWORD_PTR>(this));
}

void LinkButton::Detach() {
    if (m_hwnd && ::IsWindow(m_hwnd)) ::RemoveWindowSubclass(m_hwnd, SubclassProc, kSubclassId);
    m_hwnd = nullptr;
}

void LinkButton::SetUrl(std::wstring url) {
    m_url = std::move(url);
    if (m_hwnd) ::ShowWindow(m_hwnd, m_url.empty() ? SW_HIDE : SW_SHOWNA);
}

HFONT LinkButton::LinkFont() {
    const auto font = reinterpret_cast<HFONT>(::SendMessageW(m_hwnd, WM_GETFONT, 0, 0));
    if (m_linkFont && font == m_baseFont) return static_cast<HFONT>(m_linkFont.Get());
    LOGFONTW logFont{};
    if (::GetObjectW(font ? static_cast<HGDIOBJ>(font) : ::GetStockObject(DEFAULT_GUI_FONT), sizeof logFont,
                     &logFont) == 0) {
        return font;
    }
    logFont.lfUnderline = TRUE;
    m_linkFont.Reset(::CreateFontIndirectW(&logFont));
    m_baseFont = font;
    return m_linkFont ? static_cast<HFONT>(m_linkFont.Get()) : font;
}

void LinkButton::SizeToContent() {
    if (!m_hwnd) return;
    const std::wstring text = GetWindowTextString(m_hwnd);
    const HDC dc = ::GetDC(m_hwnd);
    RECT bounds{};
    {
        SelectedFont selected(dc, LinkFont());
        ::DrawTextW(dc, text.c_str(), static_cast<int>(text.size()), &bounds, kTextFormat | DT_CALCRECT);
    }
    ::ReleaseDC(m_hwnd, dc);
    // One pixel on each side leaves room for the focus rectangle.
    ::SetWindowPos(m_hwnd, nullptr, 0, 0, bounds.right - bounds.left + 2, bounds.bottom - bounds.top + 2,
                   SWP_NOMOVE | SWP_NOZORDER | SWP_NOACTIVATE);
}

bool LinkButton::OnParentCommand(WORD id, WORD code) const {
    if (!m_hwnd || id != ::GetDlgCtrlID(m_hwnd) || code != BN_CLICKED) return false;
    if (!m_url.empty()) ShellOpen(m_url, std::wstring(), SW_SHOWNORMAL);
    return true;
}

void LinkButton::Paint() {
    PAINTSTRUCT paint{};
    const HDC dc = ::BeginPaint(m_hwnd, &paint);
    RECT client{};
    ::GetClientRect(m_hwnd, &client);
    // The parent's static colours give the link the page's background.
    auto brush = reinterpret_cast<HBRUSH>(::SendMessageW(
        ::GetParent(m_hwnd), WM_CTLCOLORSTATIC, reinterpret_cast<WPARAM>(dc), reinterpret_cast<LPARAM>(m_hwnd)));
    ::FillRect(dc, &client, brush ? brush : ::GetSysColorBrush(COLOR_BTNFACE));

    const std::wstring text = GetWindowTextString(m_hwnd);
    ::SetBkMode(dc, TRANSPARENT);
    ::SetTextColor(dc, kLinkColor);
    RECT textArea = client;
    ::InflateRect(&textArea, -1, -1);
    {
        SelectedFont selected(dc, LinkFont());
        ::DrawTextW(dc, text.c_str(), static_cast<int>(text.size()), &textArea, kTextFormat);
    }
    if (::GetFocus() == m_hwnd) ::DrawFocusRect(dc, &client);
    ::EndPaint(m_hwnd, &paint);
}

LRESULT CALLBACK LinkButton::SubclassProc(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam, UINT_PTR,
                                          DWORD_PTR self) {
    // GuardCallback catches what escapes a handler and reports it; the message then goes to the
    // control's own procedure.
    return platform::GuardCallback(
        "link button subclass procedure",
        [&]() -> LRESULT {
            auto* link = reinterpret_cast<LinkButton*>(self);
            switch (message) {
                case WM_PAINT:
                    link->Paint();
                    return 0;
                case WM_ERASEBKGND:
                    return 1;  // the painting fills the background itself
                case WM_SETCURSOR:
                    ::SetCursor(::LoadCursorW(nullptr, IDC_HAND));
                    return TRUE;
                case WM_SETTEXT:
                case WM_SETFOCUS:
                case WM_KILLFOCUS: {
                    // An owner-drawn button would ask its parent to draw; the link draws itself instead.
                    const LRESULT result = ::DefSubclassProc(hwnd, message, wParam, lParam);
                    ::InvalidateRect(hwnd, nullptr, TRUE);
                    return result;
                }
                case WM_NCDESTROY:
                    ::RemoveWindowSubclass(hwnd, SubclassProc, kSubclassId);
                    link->m_hwnd = nullptr;
                    break;
                default:
                    break;
            }
            return ::DefSubclassProc(hwnd, message, wParam, lParam);
        },
        [&] { return ::DefSubclassProc(hwnd, message, wParam, lParam); });
}

}  // namespace tessary::ui
