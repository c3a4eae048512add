#pragma once
#include <windows.h>

namespace tessary::ui {

// Any state other than unchecked counts, so an indeterminate box reads as ticked.
inline bool IsChecked(HWND button) { return ::SendMessageW(button, BM_GETCHECK, 0, 0) != BST_UNCHECKED; }
// Only a plain tick counts.
inline bool IsTicked(HWND button) { return ::SendMessageW(button, BM_GETCHECK, 0, 0) == BST_CHECKED; }
inline void SetChecked(HWND button, bool checked) {
    ::SendMessageW(button, BM_SETCHECK, checked ? BST_CHECKED : BST_UNCHECKED, 0);
}

}  // namespace tessary::ui
