#pragma once
// One entry's data, unpacked and checked on its way into a file.
#include <string>

#include "install/zip_directory.h"
#include "platform/file_system_port.h"

namespace tessary {

// Copies a stored (0) or deflated (8) entry from the archive into out. The data must come to
// exactly the declared size and checksum; unpacking stops as soon as it would grow past the
// declared size. Empty on success, otherwise why the entry's file is incomplete or wrong.
std::string UnpackEntryData(platform::InputFile& archive, const ZipEntry& entry, platform::OutputFile& out);

}  // namespace tessary
