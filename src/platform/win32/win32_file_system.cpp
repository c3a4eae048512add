#include <windows.h>
#include <shlobj.h>
#include <shlwapi.h>

#include "platform/win32/handles.h"
#include "platform/win32/win32_ports.h"

namespace tessary::win32 {
namespace {

std::optional<std::wstring> KnownFolderPath(REFKNOWNFOLDERID id) {
    PWSTR raw = nullptr;
    const HRESULT result = ::SHGetKnownFolderPath(id, 0, nullptr, &raw);
    CoTaskMemPtr<wchar_t> path(raw);  // freed even when the call failed
    if (FAILED(result) || !path) return std::nullopt;
    return std::wstring(path.get());
}

platform::ErrorCode ResultOf(BOOL ok) { return ok ? 0 : ::GetLastError(); }

class Win32FileSystem : public platform::FileSystemPort {
public:
    std::optional<std::wstring> GetKnownFolder(platform::KnownFolder folder) const override {
        switch (folder) {
            case platform::KnownFolder::Downloads:
                return KnownFolderPath(FOLDERID_Downloads);
            case platform::KnownFolder::Documents: {
                wchar_t path[MAX_PATH] = {};
                if (FAILED(::SHGetFolderPathW(nullptr, CSIDL_PERSONAL, nullptr, 0, path))) return std::nullopt;
                return std::wstring(path);
            }
            case platform::KnownFolder::LocalAppData:
                return KnownFolderPath(FOLDERID_LocalAppData);
            case platform::KnownFolder::RoamingAppData:
                return KnownFolderPath(FOLDERID_RoamingAppData);
            case platform::KnownFolder::ProgramData:
                return KnownFolderPath(FOLDERID_ProgramData);
            case platform::KnownFolder::ProgramFilesX86:
                return KnownFolderPath(FOLDERID_ProgramFilesX86);
        }
        return std::nullopt;
    }

    std::optional<std::wstring> GetTempPath() const override {
        wchar_t path[MAX_PATH] = {};
        if (::GetTempPathW(MAX_PATH, path) == 0) return std::nullopt;
        return std::wstring(path);
    }

    std::wstring CreateUniqueTempFile(const std::wstring& folder, const std::wstring& prefix) override {
        wchar_t name[MAX_PATH] = {};
        ::GetTempFileNameW(folder.c_str(), prefix.c_str(), 0, name);
        return name;
    }

    platform::ErrorCode DeleteFile(const std::wstring& path) override { return ResultOf(::DeleteFileW(path.c_str())); }

    platform::ErrorCode CreateDirectory(const std::wstring& path) override {
        return ResultOf(::CreateDirectoryW(path.c_str(), nullptr));
    }

    platform::ErrorCode RemoveDirectory(const std::wstring& path) override {
        return ResultOf(::RemoveDirectoryW(path.c_str()));
    }

    bool ScheduleDeleteAtRestart(const std::wstring& path) override {
        return ::MoveFileExW(path.c_str(), nullptr, MOVEFILE_DELAY_UNTIL_REBOOT) != FALSE;
    }

    bool PathExists(const std::wstring& path) const override { return ::PathFileExistsW(path.c_str()) != FALSE; }
    bool IsDirectory(const std::wstring& path) const override { return ::PathIsDirectoryW(path.c_str()) != FALSE; }
    bool IsDirectoryEmpty(const std::wstring& path) const override {
        return ::PathIsDirectoryEmptyW(path.c_str()) != FALSE;
    }

    std::vector<platform::DirectoryEntry> ListDirectory(const std::wstring& path) const override {
        std::vector<platform::DirectoryEntry> entries;
        WIN32_FIND_DATAW data{};
        FindHandle find(::FindFirstFileW((path + L"\\*.*").c_str(), &data));
        if (!find) return entries;
        do {
            const std::wstring name = data.cFileName;
            if (name == L"." || name == L"..") continue;
            entries.push_back({name, (data.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY) != 0});
        } while (::FindNextFileW(find.Get(), &data));
        return entries;
    }
};

}  // namespace

std::shared_ptr<platform::FileSystemPort> MakeFileSystemPort() { return std::make_shared<Win32FileSystem>(); }

}  // namespace tessary::win32
