#pragma once
// The program's own ZIP unpacker, for where the system's shell unpacks nothing (Wine among them).
#include <string>

#include "install/zip_directory.h"

namespace tessary {

struct ZipExtraction {
    // The archive could be opened and its directory was sound. When not, nothing was written.
    bool readable = false;
    unsigned written = 0;  // files written whole, their sizes and checksums right
    // Entries passed over: a name that would leave the folder, a password, a method not read.
    // Each is noted on the diagnostics; the others are unpacked all the same.
    unsigned skipped = 0;
    // Files that could not be written whole; what was begun of them is deleted again.
    unsigned failed = 0;
};

// Unpacks the archive into folder, which must exist; nothing is ever written outside it. Files
// already there under an entry's name are replaced.
ZipExtraction ExtractZip(const std::wstring& archive, const std::wstring& folder, const ZipLimits& limits = {});

// Whether the archive is sound and every one of its entries stays inside the folder it is
// unpacked into: only such an archive is handed to an unpacker that does not check that itself.
bool ZipStaysInsideItsFolder(const std::wstring& archive, const ZipLimits& limits = {});

}  // namespace tessary
