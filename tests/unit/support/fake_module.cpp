#include "fake_module.h"

#include <filesystem>
#include <fstream>
#include <iterator>

#ifndef TESSARY_LOCALE_DIR
#error "TESSARY_LOCALE_DIR must name the folder of the shipped locale files"
#endif

namespace tessary::testing {

platform::Resource FakeModule::LoadResource(int id, const std::wstring& type) const {
    const auto found = resources.find({type, id});
    if (found == resources.end()) return {platform::ResourceStatus::NotFound, {}};
    return found->second;
}

platform::Result<platform::FileVersion> FakeModule::GetFixedFileVersion() const {
    if (!fileVersion) return platform::Failure{platform::kFileNotFound};
    return *fileVersion;
}

void FakeModule::ServeShippedLocales() {
    for (const auto& entry : std::filesystem::directory_iterator(TESSARY_LOCALE_DIR)) {
        const auto name = entry.path().filename().string();
        const auto underscore = name.find('_');
        if (entry.path().extension() != ".xml" || underscore == std::string::npos) continue;
        std::ifstream in(entry.path(), std::ios::binary);
        std::vector<std::uint8_t> bytes((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
        resources[{L"LOCALE", std::stoi(name.substr(0, underscore))}] = {platform::ResourceStatus::Found,
                                                                         std::move(bytes)};
    }
}

}  // namespace tessary::testing
