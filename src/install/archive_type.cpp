// What a downloaded file is, from its first bytes.
#include <cstring>

#include "install/archives.h"
#include "platform/ports.h"

namespace tessary {
namespace {

constexpr char kSevenZipSignature[6] = {'7', 'z', '\xBC', '\xAF', '\x27', '\x1C'};
constexpr char kZipSignature[4] = {'P', 'K', '\x03', '\x04'};

}  // namespace

int DetectArchiveType(const std::wstring& path) {
    const auto file = platform::FileSystem().OpenForReading(path);
    if (!file) return kNotAnArchive;
    // Zeroed, so that a file shorter than a signature cannot match one with what was left here.
    char head[6] = {};
    const auto read = (*file)->ReadAt(0, head, sizeof(head));
    if (!read || *read == 0) return kNotAnArchive;
    if (std::memcmp(head, kSevenZipSignature, sizeof(kSevenZipSignature)) == 0) return kSevenZipArchive;
    if (std::memcmp(head, kZipSignature, sizeof(kZipSignature)) == 0) return kZipArchive;
    return kNotAnArchive;
}

}  // namespace tessary
