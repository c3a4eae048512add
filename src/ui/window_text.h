#pragma once
#include <windows.h>

#include <string>

namespace tessary::ui {

std::wstring GetWindowTextString(HWND window);
// Sets a control's text only when it differs, so unchanged controls do not flicker.
void SetWindowTextIfChanged(HWND window, const std::wstring& text);

}  // namespace tessary::ui
