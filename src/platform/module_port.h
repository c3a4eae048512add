#pragma once
#include <cstdint>
#include <string>
#include <vector>

#include "platform/result.h"

namespace tessary::platform {

struct FileVersion {
    std::uint32_t versionMs = 0;  // major in the high word, minor in the low word
    std::uint32_t versionLs = 0;  // build in the high word, revision in the low word
};

// The program's own executable: its path, its version resource and its custom resources.
class ModulePort {
public:
    virtual ~ModulePort() = default;
    // The executable's full path; fails with the system's status rather than give a path cut short.
    virtual Result<std::wstring> GetModuleFileName() const = 0;
    // Not found when the executable has no version resource.
    virtual Result<FileVersion> GetFixedFileVersion() const = 0;
    // The resource's bytes; not found when the executable has no such type or no such resource
    // of the type, failed when it has one that cannot be loaded.
    virtual Result<std::vector<std::uint8_t>> LoadResource(int id, const std::wstring& type) const = 0;
};

}  // namespace tessary::platform
