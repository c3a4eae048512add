#include "install/zip_directory.h"

#include <algorithm>

namespace tessary {
namespace {

constexpr std::uint32_t kEndSignature = 0x06054B50;        // "PK\5\6"
constexpr std::uint32_t kDirectorySignature = 0x02014B50;  // "PK\1\2"
constexpr std::uint32_t kLocalSignature = 0x04034B50;      // "PK\3\4"
constexpr std::size_t kEndSize = 22;
constexpr std::size_t kDirectoryRecordSize = 46;
constexpr std::size_t kLocalHeaderSize = 30;
constexpr std::size_t kMaxCommentSize = 0xFFFF;
// More than any directory of ten thousand entries with sensible names needs.
constexpr std::uint64_t kMaxDirectorySize = 16u << 20;
// The flags of an entry whose data cannot be read without a password.
constexpr std::uint16_t kEncryptedFlags = 0x0001 | 0x0040 | 0x2000;
constexpr std::uint16_t kUtf8NameFlag = 0x0800;

std::uint16_t Read16(const char* at) {
    const auto* bytes = reinterpret_cast<const unsigned char*>(at);
    return static_cast<std::uint16_t>(bytes[0] | bytes[1] << 8);
}

std::uint32_t Read32(const char* at) {
    const auto* bytes = reinterpret_cast<const unsigned char*>(at);
    return static_cast<std::uint32_t>(bytes[0]) | static_cast<std::uint32_t>(bytes[1]) << 8 |
           static_cast<std::uint32_t>(bytes[2]) << 16 | static_cast<std::uint32_t>(bytes[3]) << 24;
}

// Reads exactly size bytes at offset; false when the file has fewer or cannot be read.
bool ReadExactly(platform::InputFile& file, std::uint64_t offset, char* buffer, std::size_t size) {
    const auto read = file.ReadAt(offset, buffer, size);
    return read && *read == size;
}

struct EndRecord {
    std::uint64_t position = 0;
    std::uint32_t entries = 0;
    std::uint64_t directorySize = 0;
    std::uint64_t directoryOffset = 0;
};

// The end-of-central-directory record nearest the end of the file: it sits behind at most a
// comment of 64 KiB.
std::string FindEnd(platform::InputFile& file, EndRecord& end) {
    const std::uint64_t fileSize = file.Size();
    if (fileSize < kEndSize) return "too short for an archive";
    const auto tailSize = static_cast<std::size_t>(std::min<std::uint64_t>(fileSize, kEndSize + kMaxCommentSize));
    const std::uint64_t tailStart = fileSize - tailSize;
    std::string tail(tailSize, '\0');
    if (!ReadExactly(file, tailStart, tail.data(), tailSize)) return "cannot be read";
    for (std::size_t at = tailSize - kEndSize + 1; at-- > 0;) {
        const char* record = tail.data() + at;
        if (Read32(record) != kEndSignature) continue;
        if (at + kEndSize + Read16(record + 20) > tailSize) continue;  // its comment would overrun the file
        if (Read16(record + 4) != 0 || Read16(record + 6) != 0 || Read16(record + 8) != Read16(record + 10)) {
            return "spans several disks";
        }
        end.position = tailStart + at;
        end.entries = Read16(record + 10);
        end.directorySize = Read32(record + 12);
        end.directoryOffset = Read32(record + 16);
        if (end.entries == 0xFFFF || end.directorySize == 0xFFFFFFFF || end.directoryOffset == 0xFFFFFFFF) {
            return "needs 64-bit records, which are not read";
        }
        return {};
    }
    return "has no end of central directory";
}

// Where the entry's data begins, from its local header, which must lie before the directory.
std::string LocateData(platform::InputFile& file, std::uint64_t headerOffset, std::uint64_t directoryOffset,
                       ZipEntry& entry) {
    char header[kLocalHeaderSize];
    if (headerOffset + kLocalHeaderSize > directoryOffset || !ReadExactly(file, headerOffset, header, sizeof(header)) ||
        Read32(header) != kLocalSignature) {
        return "an entry's local header is missing";
    }
    entry.dataOffset = headerOffset + kLocalHeaderSize + Read16(header + 26) + Read16(header + 28);
    if (entry.dataOffset + entry.compressedSize > directoryOffset) return "an entry's data overruns the archive";
    return {};
}

std::string ReadEntries(platform::InputFile& file, const EndRecord& end, const ZipLimits& limits,
                        std::vector<ZipEntry>& entries) {
    if (end.entries > limits.maxEntries) return "has more entries than are unpacked";
    if (end.directoryOffset + end.directorySize > end.position) return "its directory overruns the archive";
    if (end.directorySize > kMaxDirectorySize) return "its directory is too large";
    std::string directory(static_cast<std::size_t>(end.directorySize), '\0');
    if (!ReadExactly(file, end.directoryOffset, directory.data(), directory.size())) return "cannot be read";

    std::uint64_t totalSize = 0;
    std::size_t at = 0;
    entries.reserve(end.entries);
    for (std::uint32_t index = 0; index < end.entries; ++index) {
        if (directory.size() - at < kDirectoryRecordSize) return "its directory ends early";
        const char* record = directory.data() + at;
        if (Read32(record) != kDirectorySignature) return "its directory is damaged";
        const std::size_t nameSize = Read16(record + 28);
        const std::size_t recordSize = kDirectoryRecordSize + nameSize + Read16(record + 30) + Read16(record + 32);
        if (directory.size() - at < recordSize) return "its directory ends early";

        ZipEntry entry;
        const std::uint16_t flags = Read16(record + 8);
        entry.utf8Name = (flags & kUtf8NameFlag) != 0;
        entry.encrypted = (flags & kEncryptedFlags) != 0;
        entry.method = Read16(record + 10);
        entry.crc32 = Read32(record + 16);
        entry.compressedSize = Read32(record + 20);
        entry.size = Read32(record + 24);
        const std::uint32_t headerOffset = Read32(record + 42);
        if (entry.compressedSize == 0xFFFFFFFF || entry.size == 0xFFFFFFFF || headerOffset == 0xFFFFFFFF) {
            return "needs 64-bit records, which are not read";
        }
        if (Read16(record + 34) != 0) return "spans several disks";
        entry.name.assign(record + kDirectoryRecordSize, nameSize);
        if (auto problem = LocateData(file, headerOffset, end.directoryOffset, entry); !problem.empty()) return problem;
        totalSize += entry.size;
        if (totalSize > limits.maxTotalSize) return "declares more data than is unpacked";
        entries.push_back(std::move(entry));
        at += recordSize;
    }
    return {};
}

}  // namespace

ZipDirectory ReadZipDirectory(platform::InputFile& archive, const ZipLimits& limits) {
    ZipDirectory result;
    EndRecord end;
    result.refusal = FindEnd(archive, end);
    if (result.refusal.empty()) result.refusal = ReadEntries(archive, end, limits, result.entries);
    if (!result.refusal.empty()) result.entries.clear();
    return result;
}

}  // namespace tessary
