#include "ui/progress_bar.h"

#include <commctrl.h>

namespace tessary::ui {

void StartMarquee(HWND bar, UINT stepMs) {
    ::SendMessageW(bar, PBM_SETRANGE, 0, MAKELPARAM(0, 100));
    ::SendMessageW(bar, PBM_SETPOS, 0, 0);
    // The style first: a bar without it may ignore the marquee's start.
    ::SetWindowLongPtrW(bar, GWL_STYLE, ::GetWindowLongPtrW(bar, GWL_STYLE) | PBS_MARQUEE);
    ::SendMessageW(bar, PBM_SETMARQUEE, TRUE, stepMs);
}

void StopMarquee(HWND bar) {
    ::SendMessageW(bar, PBM_SETMARQUEE, FALSE, 0);
    ::SendMessageW(bar, PBM_SETRANGE, 0, MAKELPARAM(0, 100));
    ::SendMessageW(bar, PBM_SETPOS, 0, 0);
    ::SendMessageW(bar, PBM_SETSTEP, 1, 0);
    ::SetWindowLongPtrW(bar, GWL_STYLE, ::GetWindowLongPtrW(bar, GWL_STYLE) & ~static_cast<LONG_PTR>(PBS_MARQUEE));
}

}  // namespace tessary::ui
