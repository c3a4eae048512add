#include "pages/bold_title_font.h"

namespace tessary {

void BoldTitleFont::ApplyTo(HWND title) {
    if (!title) return;
    const auto current = reinterpret_cast<HFONT>(::SendMessageW(title, WM_GETFONT, 0, 0));
    LOGFONTW logFont{};
    if (::GetObjectW(current ? static_cast<HGDIOBJ>(current) : ::GetStockObject(DEFAULT_GUI_FONT), sizeof logFont,
                     &logFont) == 0) {
        return;
    }
    logFont.lfHeight = 12;
    logFont.lfWeight = 1000;
    win32::GdiObject font(::CreateFontIndirectW(&logFont));
    if (!font) return;
    ::SendMessageW(title, WM_SETFONT, reinterpret_cast<WPARAM>(font.Get()), TRUE);
    // The control now draws with the new font; only then may the old one go.
    m_font = std::move(font);
}

}  // namespace tessary
