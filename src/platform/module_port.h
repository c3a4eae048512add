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

enum class ResourceStatus { Found, NotFound, NotLoadable };

struct Resource {
    ResourceStatus status = ResourceStatus::NotFound;
    std::vector<std::uint8_t> bytes;
};

// The program's own executable: its path, its version resource and its custom resources.
class ModulePort {
public:
    virtual ~ModulePort() = default;
    virtual std::wstring GetModuleFileName() const = 0;
    virtual Result<FileVersion> GetFixedFileVersion() const = 0;
    virtual Resource LoadResource(int id, const std::wstring& type) const = 0;
};

}  // namespace tessary::platform
