#include "fake_module.h"

#include <climits>
#include <filesystem>
#include <fstream>
#include <iterator>

#ifndef TESSARY_LOCALE_DIR
#error "TESSARY_LOCALE_DIR must name the folder of the shipped locale files"
#endif

namespace tessary::testing {

platform::Result<std::vector<std::uint8_t>> FakeModule::LoadResource(int id, const std::wstring& type) const {
    if (const auto failure = unloadableResources.find({type, id}); failure != unloadableResources.end()) {
        return platform::Failure{failure->second};
    }
    if (const auto found = resources.find({type, id}); found != resources.end()) return found->second;
    const auto ofType = resources.lower_bound({type, INT_MIN});
    const bool typeExists = ofType != resources.end() && ofType->first.first == type;
    return platform::Failure{typeExists ? platform::kResourceNameNotFound : platform::kResourceTypeNotFound};
}

platform::Result<std::wstring> FakeModule::GetModuleFileName() const {
    if (moduleFileNameFailure != platform::kSuccess) return platform::Failure{moduleFileNameFailure};
    return moduleFileName;
}

platform::Result<platform::FileVersion> FakeModule::GetFixedFileVersion() const {
    if (!fileVersion) return platform::Failure{platform::kResourceTypeNotFound};
    return *fileVersion;
}

void FakeModule::ServeShippedLocales() {
    for (const auto& entry : std::filesystem::directory_iterator(TESSARY_LOCALE_DIR)) {
        const auto name = entry.path().filename().string();
        const auto underscore = name.find('_');
        if (entry.path().extension() != ".xml" || underscore == std::string::npos) continue;
        std::ifstream in(entry.path(), std::ios::binary);
        std::vector<std::uint8_t> bytes((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
        resources[{L"LOCALE", std::stoi(name.substr(0, underscore))}] = std::move(bytes);
    }
}

}  // namespace tessary::testing
