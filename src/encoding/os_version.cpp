#include "encoding/os_version.h"

#include "platform/ports.h"

namespace tessary {

std::string OsVersionString() {
    const auto version = platform::System().GetOsVersion();
    if (!version) return {};
    return std::to_string(version->major) + "." + std::to_string(version->minor) + "." +
           std::to_string(version->build);
}

}  // namespace tessary
