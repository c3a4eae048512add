#pragma once
// The names downloaded files are saved under. A name comes from a server (the end of a URL) or
// from the remote configuration, and the program runs elevated: a name must never reach outside
// the folder it is joined to, name a device or a stream, or hold characters Windows refuses.
#include <optional>
#include <string>

namespace tessary {

// The URL cut at its first "?" or "#", then the part after its last "/"; empty when that part
// has no "/". The result still has to pass SafeFileName.
std::wstring FileNameFromUrl(const std::wstring& url);

// The name unchanged but for the characters Windows forbids in names ("<>\"|*?" and control
// characters), which become "_", and without the trailing blanks and dots Windows would drop.
// Nothing when the name cannot be one file in one folder: it holds "\\", "/" or ":" (a folder, a
// drive or a stream), is nothing but blanks and dots ("", ".", ".."), or names a device ("con",
// "nul", "com1", also with an extension: "nul.exe").
std::optional<std::wstring> SafeFileName(const std::wstring& name);

// A file name made from display text such as a product title ("AC/DC" gives "AC_DC"): the
// separators and the colon become "_" instead of refusing the name.
std::wstring FileNameFromTitle(const std::wstring& title);

}  // namespace tessary
