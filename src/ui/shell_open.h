#pragma once
#include <windows.h>

#include <string>

namespace tessary::ui {

// Hands a file or URL to the shell's "open" action, without owner window or working folder.
// Empty parameters are passed as none. Failures are not reported: whatever the shell cannot
// open simply does not start.
void ShellOpen(const std::wstring& file, const std::wstring& parameters, int show);

}  // namespace tessary::ui
