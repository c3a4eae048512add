#include "ui/link_button.h"

#include "ui/device_context.h"
#include "ui/shell_open.h"
#include "ui/window_text.h"

namespace tessary::ui {
namespace {

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

void LinkButton::SetUrl(std::wstring url) {
    m_url = std::move(url);
    if (const HWND hwnd = GetSafeHwnd()) ::ShowWindow(hwnd, m_url.empty() ? SW_HIDE : SW_SHOWNA);
}

HFONT LinkButton::LinkFont() {
    const auto font = reinterpret_cast<HFONT>(::SendMessageW(GetSafeHwnd(), WM_GETFONT, 0, 0));
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
    const HWND hwnd = GetSafeHwnd();
    if (!hwnd) return;
    const std::wstring text = GetWindowTextString(hwnd);
    RECT bounds{};
    {
        const WindowDc dc(hwnd);
        SelectedFont selected(dc.Get(), LinkFont());
        ::DrawTextW(dc.Get(), text.c_str(), static_cast<int>(text.size()), &bounds, kTextFormat | DT_CALCRECT);
    }
    // One pixel on each side leaves room for the focus rectangle.
    ::SetWindowPos(hwnd, nullptr, 0, 0, bounds.right - bounds.left + 2, bounds.bottom - bounds.top + 2,
                   SWP_NOMOVE | SWP_NOZORDER | SWP_NOACTIVATE);
}

bool LinkButton::OnParentCommand(WORD id, WORD code) const {
    const HWND hwnd = GetSafeHwnd();
    if (!hwnd || id != ::GetDlgCtrlID(hwnd) || code != BN_CLICKED) return false;
    if (!m_url.empty()) ShellOpen(m_url, std::wstring(), SW_SHOWNORMAL);
    return true;
}

void LinkButton::Paint() {
    const HWND hwnd = GetSafeHwnd();
    const PaintScope paint(hwnd);
    const HDC dc = paint.Dc();
    RECT client{};
    ::GetClientRect(hwnd, &client);
    // The parent's static colours give the link the page's background.
    auto brush = reinterpret_cast<HBRUSH>(::SendMessageW(::GetParent(hwnd), WM_CTLCOLORSTATIC,
                                                         reinterpret_cast<WPARAM>(dc), reinterpret_cast<LPARAM>(hwnd)));
    ::FillRect(dc, &client, brush ? brush : ::GetSysColorBrush(COLOR_BTNFACE));

    const std::wstring text = GetWindowTextString(hwnd);
    ::SetBkMode(dc, TRANSPARENT);
    ::SetTextColor(dc, kLinkColor);
    RECT textArea = client;
    ::InflateRect(&textArea, -1, -1);
    {
        SelectedFont selected(dc, LinkFont());
        ::DrawTextW(dc, text.c_str(), static_cast<int>(text.size()), &textArea, kTextFormat);
    }
    if (::GetFocus() == hwnd) ::DrawFocusRect(dc, &client);
}

bool LinkButton::OnMessage(UINT message, WPARAM wParam, LPARAM lParam, LRESULT& result) {
    switch (message) {
        case WM_PAINT:
            Paint();
            result = 0;
            return true;
        case WM_ERASEBKGND:
            result = 1;  // the painting fills the background itself
            return true;
        case WM_SETCURSOR:
            ::SetCursor(::LoadCursorW(nullptr, IDC_HAND));
            result = TRUE;
            return true;
        case WM_SETTEXT:
        case WM_SETFOCUS:
        case WM_KILLFOCUS:
            // An owner-drawn button would ask its parent to draw; the link draws itself instead.
            result = DefaultProcedure(message, wParam, lParam);
            ::InvalidateRect(GetSafeHwnd(), nullptr, TRUE);
            return true;
        default:
            return false;
    }
}

}  // namespace tessary::ui
