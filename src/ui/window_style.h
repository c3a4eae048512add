#pragma once
#include <windows.h>

namespace tessary::ui {

// Clears style bits of a window and lets its frame follow at once (the caption buttons, say).
void RemoveWindowStyle(HWND window, LONG_PTR style);

}  // namespace tessary::ui
