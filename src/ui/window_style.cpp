#include "ui/window_style.h"

namespace tessary::ui {

void RemoveWindowStyle(HWND window, LONG_PTR style) {
    const LONG_PTR current = ::GetWindowLongPtrW(window, GWL_STYLE);
    if ((current & style) == 0) return;
    ::SetWindowLongPtrW(window, GWL_STYLE, current & ~style);
    ::SetWindowPos(window, nullptr, 0, 0, 0, 0,
                   SWP_NOSIZE | SWP_NOMOVE | SWP_NOZORDER | SWP_NOACTIVATE | SWP_FRAMECHANGED);
}

}  // namespace tessary::ui
