#pragma once
#include <string>

namespace tessary::win32 {

// Copies every item of a ZIP archive into an existing folder through the shell's own archive
// folders (Shell.Application). True when the shell accepted the copy; the files may still be on
// their way when this returns.
bool UnzipWithShell(const std::wstring& archive, const std::wstring& folder);

}  // namespace tessary::win32
