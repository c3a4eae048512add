#include <windows.h>

#include <cstring>

#include "platform/win32/failure.h"
#include "platform/win32/win32_ports.h"

namespace tessary::win32 {
namespace {

class Win32Module : public platform::ModulePort {
public:
    std::wstring GetModuleFileName() const override {
        wchar_t path[MAX_PATH] = {};
        const DWORD length = ::GetModuleFileNameW(nullptr, path, MAX_PATH);
        return std::wstring(path, length);
    }

    platform::Result<platform::FileVersion> GetFixedFileVersion() const override {
        const auto resource = LoadResourceBytes(MAKEINTRESOURCEW(1), RT_VERSION);
        if (resource.status == platform::ResourceStatus::NotFound) return platform::Failure{platform::kFileNotFound};
        if (resource.status != platform::ResourceStatus::Found) return FailWithLastError("LoadResource");
        // VerQueryValueW wants a writable copy of the block.
        std::vector<std::uint8_t> block = resource.bytes;
        VS_FIXEDFILEINFO* info = nullptr;
        UINT length = 0;
        if (!::VerQueryValueW(block.data(), L"\\", reinterpret_cast<void**>(&info), &length) || !info ||
            length < sizeof(VS_FIXEDFILEINFO)) {
            return FailWith("VerQueryValueW", ERROR_INVALID_DATA);
        }
        return platform::FileVersion{info->dwFileVersionMS, info->dwFileVersionLS};
    }

    platform::Resource LoadResource(int id, const std::wstring& type) const override {
        return LoadResourceBytes(MAKEINTRESOURCEW(id), type.c_str());
    }

private:
    static platform::Resource LoadResourceBytes(const wchar_t* name, const wchar_t* type) {
        const HMODULE module = ::GetModuleHandleW(nullptr);
        const HRSRC found = ::FindResourceW(module, name, type);
        if (!found) return {platform::ResourceStatus::NotFound, {}};
        const DWORD size = ::SizeofResource(module, found);
        const HGLOBAL loaded = ::LoadResource(module, found);
        const void* data = loaded ? ::LockResource(loaded) : nullptr;
        if (!data) return {platform::ResourceStatus::NotLoadable, {}};
        const auto* bytes = static_cast<const std::uint8_t*>(data);
        return {platform::ResourceStatus::Found, std::vector<std::uint8_t>(bytes, bytes + size)};
    }
};

}  // namespace

std::shared_ptr<platform::ModulePort> MakeModulePort() { return std::make_shared<Win32Module>(); }

}  // namespace tessary::win32
