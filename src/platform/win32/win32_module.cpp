#include <windows.h>

#include <utility>

#include "platform/win32/failure.h"
#include "platform/win32/win32_ports.h"

namespace tessary::win32 {
namespace {

using Bytes = std::vector<std::uint8_t>;

// A resource that was found but cannot be read has failed, whatever code the system left behind:
// it must never read as absent, nor as a failure without a status.
platform::Failure FailToRead(std::string_view operation) {
    const platform::Status status = ::GetLastError();
    return FailWith(operation, status == ERROR_SUCCESS || platform::IsNotFound(status) ? ERROR_INVALID_DATA : status);
}

platform::Result<Bytes> LoadResourceBytes(const wchar_t* name, const wchar_t* type) {
    const HMODULE module = ::GetModuleHandleW(nullptr);
    const HRSRC found = ::FindResourceW(module, name, type);
    // No such type or no such name is "not found", an answer that is not reported.
    if (!found) return FailWithLastError("FindResourceW");
    const DWORD size = ::SizeofResource(module, found);
    const HGLOBAL loaded = ::LoadResource(module, found);  // belongs to the module, never freed
    const void* data = loaded ? ::LockResource(loaded) : nullptr;
    if (!data) return FailToRead("LoadResource");
    const auto* bytes = static_cast<const std::uint8_t*>(data);
    return Bytes(bytes, bytes + size);
}

class Win32Module : public platform::ModulePort {
public:
    platform::Result<std::wstring> GetModuleFileName() const override {
        // A path that does not fit comes back cut short, filling the whole buffer; the buffer grows
        // up to the longest path Windows has.
        constexpr std::size_t kLongestPath = 32768;
        std::wstring path(MAX_PATH, L'\0');
        for (;;) {
            const DWORD length = ::GetModuleFileNameW(nullptr, path.data(), static_cast<DWORD>(path.size()));
            if (length == 0) return FailWithLastError("GetModuleFileNameW");
            if (length < path.size()) {
                path.resize(length);
                return path;
            }
            if (path.size() >= kLongestPath) return FailWith("GetModuleFileNameW", ERROR_INSUFFICIENT_BUFFER);
            path.resize(path.size() * 2);
        }
    }

    platform::Result<platform::FileVersion> GetFixedFileVersion() const override {
        auto resource = LoadResourceBytes(MAKEINTRESOURCEW(1), RT_VERSION);
        if (!resource) return platform::Failure{resource.GetStatus()};
        // VerQueryValueW wants a writable block, which our copy of the resource is.
        Bytes block = std::move(resource).Value();
        VS_FIXEDFILEINFO* info = nullptr;
        UINT length = 0;
        if (!::VerQueryValueW(block.data(), L"\\", reinterpret_cast<void**>(&info), &length) || !info ||
            length < sizeof(VS_FIXEDFILEINFO)) {
            return FailWith("VerQueryValueW", ERROR_INVALID_DATA);
        }
        return platform::FileVersion{info->dwFileVersionMS, info->dwFileVersionLS};
    }

    platform::Result<Bytes> LoadResource(int id, const std::wstring& type) const override {
        return LoadResourceBytes(MAKEINTRESOURCEW(id), type.c_str());
    }
};

}  // namespace

std::shared_ptr<platform::ModulePort> MakeModulePort() { return std::make_shared<Win32Module>(); }

}  // namespace tessary::win32
