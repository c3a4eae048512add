#pragma once
// The table of contents of a ZIP archive, read from its central directory. Archives come from the
// network and the program runs elevated: anything that does not add up refuses the archive as a
// whole, before a single file is written.
#include <cstdint>
#include <string>
#include <vector>

#include "platform/file_system_port.h"

namespace tessary {

// What the unpacker agrees to write for one archive.
struct ZipLimits {
    std::uint32_t maxEntries = 10'000;
    // The sum of the sizes the entries declare; each entry is stopped at its declared size, so
    // this bounds what is written too.
    std::uint64_t maxTotalSize = 2ull << 30;
};

struct ZipEntry {
    std::string name;  // as stored: UTF-8 when utf8Name, otherwise code page 437
    bool utf8Name = false;
    bool encrypted = false;
    std::uint16_t method = 0;  // 0 stored, 8 deflated
    std::uint32_t crc32 = 0;
    std::uint64_t compressedSize = 0;
    std::uint64_t size = 0;        // unpacked, as declared
    std::uint64_t dataOffset = 0;  // where the entry's data starts, past its local header
};

struct ZipDirectory {
    std::vector<ZipEntry> entries;
    std::string refusal;  // why the archive is refused; empty when it is not
};

ZipDirectory ReadZipDirectory(platform::InputFile& archive, const ZipLimits& limits);

}  // namespace tessary
