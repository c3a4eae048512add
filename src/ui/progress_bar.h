#pragma once
#include <windows.h>

namespace tessary::ui {

// The bar's two modes: a marquee that runs for work of unknown length, and a position from 0 to
// 100.
void StartMarquee(HWND bar, UINT stepMs);
void StopMarquee(HWND bar);

}  // namespace tessary::ui
