#pragma once
// Where an archive's entry may go. Names come from archives off the network and the program runs
// elevated, so an entry may only ever name a place inside the folder it is unpacked into.
#include <optional>
#include <string>
#include <vector>

#include "install/zip_directory.h"

namespace tessary {

// The entry's name as text: UTF-8 when the archive says so, otherwise code page 437, the
// format's own. Nothing when the name is not valid in its encoding.
std::optional<std::wstring> DecodeEntryName(const ZipEntry& entry);

// The folders and, last, the file (or folder) the name asks for, each a plain name that stays
// where it is joined: "\\" and "/" both separate, empty and "." parts fall away. Nothing when
// the name starts at a root ("/", "\\"), holds a ":" anywhere (a drive or a stream), climbs with
// ".." or names what no file may be called (a device, nothing but dots).
std::optional<std::vector<std::wstring>> SafeEntryPath(const std::wstring& name);

// The entry only makes a folder: its name ends with a separator.
bool NamesFolder(const std::wstring& name);

}  // namespace tessary
