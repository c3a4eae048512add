#pragma once
#include <cstdint>
#include <map>
#include <optional>
#include <string>
#include <utility>
#include <vector>

#include "platform/module_port.h"

namespace tessary::testing {

class FakeModule : public platform::ModulePort {
public:
    using ResourceKey = std::pair<std::wstring, int>;  // type, id

    platform::Result<std::wstring> GetModuleFileName() const override;
    platform::Result<platform::FileVersion> GetFixedFileVersion() const override;
    // Not found as the system says it: no resource of the type at all, or none with that id.
    platform::Result<std::vector<std::uint8_t>> LoadResource(int id, const std::wstring& type) const override;

    // Serves the shipped locale files ("<id>_<name>.xml") as LOCALE resources.
    void ServeShippedLocales();

    std::wstring moduleFileName = L"C:\\Users\\user\\Downloads\\Setup.exe";
    // The status asking for the path fails with; 0: it succeeds.
    platform::Status moduleFileNameFailure = platform::kSuccess;
    std::optional<platform::FileVersion> fileVersion = platform::FileVersion{(3u << 16) | 2u, (4u << 16) | 2137u};
    std::map<ResourceKey, std::vector<std::uint8_t>> resources;
    // Resources that are there but cannot be loaded, with the status loading fails with.
    std::map<ResourceKey, platform::Status> unloadableResources;
};

}  // namespace tessary::testing
