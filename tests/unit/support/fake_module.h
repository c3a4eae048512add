#pragma once
#include <map>
#include <optional>
#include <string>
#include <utility>

#include "platform/module_port.h"

namespace tessary::testing {

class FakeModule : public platform::ModulePort {
public:
    std::wstring GetModuleFileName() const override { return moduleFileName; }
    platform::Result<platform::FileVersion> GetFixedFileVersion() const override;
    platform::Resource LoadResource(int id, const std::wstring& type) const override;

    // Serves the shipped locale files ("<id>_<name>.xml") as LOCALE resources.
    void ServeShippedLocales();

    std::wstring moduleFileName = L"C:\\Users\\user\\Downloads\\Setup.exe";
    std::optional<platform::FileVersion> fileVersion = platform::FileVersion{(3u << 16) | 2u, (4u << 16) | 2137u};
    std::map<std::pair<std::wstring, int>, platform::Resource> resources;
};

}  // namespace tessary::testing
