#include <windows.h>
#include <shlobj.h>
#include <shlwapi.h>

#include "platform/win32/failure.h"
#include "platform/win32/handles.h"
#include "platform/win32/shell_unzip.h"
#include "platform/win32/win32_ports.h"

namespace tessary::win32 {
namespace {

platform::Result<std::wstring> KnownFolderPath(REFKNOWNFOLDERID id) {
    PWSTR raw = nullptr;
    const HRESULT result = ::SHGetKnownFolderPath(id, 0, nullptr, &raw);
    CoTaskMemPtr<wchar_t> path(raw);  // freed even when the call failed
    if (FAILED(result)) return FailWith("SHGetKnownFolderPath", StatusOf(result));
    if (!path) return FailWith("SHGetKnownFolderPath", ERROR_INVALID_DATA);
    return std::wstring(path.get());
}

platform::Result<void> ResultOf(BOOL ok, std::string_view operation) {
    if (ok) return {};
    return FailWithLastError(operation);
}

// Writes go straight to the system; the transfers hand over chunks of several kilobytes.
class Win32OutputFile : public platform::OutputFile {
public:
    explicit Win32OutputFile(FileHandle file) : m_file(std::move(file)) {}

    platform::Result<void> Write(const char* data, std::size_t size) override {
        while (size > 0) {
            const DWORD piece = size > 0x40000000u ? 0x40000000u : static_cast<DWORD>(size);
            DWORD written = 0;
            if (!::WriteFile(m_file.Get(), data, piece, &written, nullptr)) return FailWithLastError("WriteFile");
            if (written == 0) return FailWith("WriteFile", ERROR_WRITE_FAULT);
            data += written;
            size -= written;
        }
        return {};
    }

private:
    FileHandle m_file;
};

class Win32InputFile : public platform::InputFile {
public:
    Win32InputFile(FileHandle file, std::uint64_t size) : m_file(std::move(file)), m_size(size) {}

    std::uint64_t Size() const override { return m_size; }

    platform::Result<std::size_t> ReadAt(std::uint64_t offset, char* buffer, std::size_t size) override {
        std::size_t total = 0;
        while (total < size) {
            const std::size_t left = size - total;
            const DWORD piece = left > 0x40000000u ? 0x40000000u : static_cast<DWORD>(left);
            OVERLAPPED at{};  // on a handle opened for plain reads this only says where
            at.Offset = static_cast<DWORD>(offset + total);
            at.OffsetHigh = static_cast<DWORD>((offset + total) >> 32);
            DWORD read = 0;
            if (!::ReadFile(m_file.Get(), buffer + total, piece, &read, &at)) {
                if (::GetLastError() == ERROR_HANDLE_EOF) break;
                return FailWithLastError("ReadFile");
            }
            if (read == 0) break;
            total += read;
        }
        return total;
    }

private:
    FileHandle m_file;
    std::uint64_t m_size;
};

class Win32FileSystem : public platform::FileSystemPort {
public:
    platform::Result<std::wstring> GetKnownFolder(platform::KnownFolder folder) const override {
        switch (folder) {
            case platform::KnownFolder::Desktop:
                return KnownFolderPath(FOLDERID_Desktop);
            case platform::KnownFolder::Downloads:
                return KnownFolderPath(FOLDERID_Downloads);
            case platform::KnownFolder::Documents: {
                wchar_t path[MAX_PATH] = {};
                const HRESULT result = ::SHGetFolderPathW(nullptr, CSIDL_PERSONAL, nullptr, 0, path);
                if (FAILED(result)) return FailWith("SHGetFolderPathW", StatusOf(result));
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
        return platform::Failure{ERROR_INVALID_PARAMETER};
    }

    platform::Result<std::wstring> GetTempPath() const override {
        wchar_t path[MAX_PATH] = {};
        if (::GetTempPathW(MAX_PATH, path) == 0) return FailWithLastError("GetTempPathW");
        return std::wstring(path);
    }

    platform::Result<std::wstring> CreateUniqueTempFile(const std::wstring& folder,
                                                        const std::wstring& prefix) override {
        wchar_t name[MAX_PATH] = {};
        if (::GetTempFileNameW(folder.c_str(), prefix.c_str(), 0, name) == 0) {
            return FailWithLastError("GetTempFileNameW");
        }
        return std::wstring(name);
    }

    platform::Result<void> DeleteFile(const std::wstring& path) override {
        return ResultOf(::DeleteFileW(path.c_str()), "DeleteFileW");
    }

    platform::Result<void> CreateDirectory(const std::wstring& path) override {
        return ResultOf(::CreateDirectoryW(path.c_str(), nullptr), "CreateDirectoryW");
    }

    platform::Result<void> RemoveDirectory(const std::wstring& path) override {
        return ResultOf(::RemoveDirectoryW(path.c_str()), "RemoveDirectoryW");
    }

    platform::Result<void> ScheduleDeleteAtRestart(const std::wstring& path) override {
        return ResultOf(::MoveFileExW(path.c_str(), nullptr, MOVEFILE_DELAY_UNTIL_REBOOT), "MoveFileExW");
    }

    bool PathExists(const std::wstring& path) const override { return ::PathFileExistsW(path.c_str()) != FALSE; }
    bool IsDirectory(const std::wstring& path) const override { return ::PathIsDirectoryW(path.c_str()) != FALSE; }
    bool IsLink(const std::wstring& path) const override {
        const DWORD attributes = ::GetFileAttributesW(path.c_str());
        return attributes != INVALID_FILE_ATTRIBUTES && (attributes & FILE_ATTRIBUTE_REPARSE_POINT) != 0;
    }
    bool IsDirectoryEmpty(const std::wstring& path) const override {
        return ::PathIsDirectoryEmptyW(path.c_str()) != FALSE;
    }

    platform::Result<std::vector<platform::DirectoryEntry>> ListDirectory(const std::wstring& path) const override {
        std::vector<platform::DirectoryEntry> entries;
        WIN32_FIND_DATAW data{};
        FindHandle find(::FindFirstFileW((path + L"\\*.*").c_str(), &data));
        if (!find) return FailWithLastError("FindFirstFileW");
        do {
            const std::wstring name = data.cFileName;
            if (name == L"." || name == L"..") continue;
            entries.push_back({name, (data.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY) != 0,
                               (data.dwFileAttributes & FILE_ATTRIBUTE_REPARSE_POINT) != 0});
        } while (::FindNextFileW(find.Get(), &data));
        // A listing cut short still names entries that exist; the caller works with those.
        return entries;
    }

    platform::Result<std::uint64_t> GetFreeBytesAvailable(const std::wstring& folder) const override {
        ULARGE_INTEGER available{};
        // A folder on a network share is only understood with a trailing backslash.
        std::wstring directory = folder;
        if (!directory.empty() && directory.back() != L'\\') directory += L'\\';
        if (!::GetDiskFreeSpaceExW(directory.c_str(), &available, nullptr, nullptr)) {
            return FailWithLastError("GetDiskFreeSpaceExW");
        }
        return static_cast<std::uint64_t>(available.QuadPart);
    }

    platform::Result<std::unique_ptr<platform::OutputFile>> CreateOutputFile(const std::wstring& path) override {
        // Read sharing only: no other process may rewrite a file the program may start elevated.
        FileHandle file(::CreateFileW(path.c_str(), GENERIC_WRITE, FILE_SHARE_READ, nullptr, CREATE_ALWAYS,
                                      FILE_ATTRIBUTE_NORMAL, nullptr));
        if (!file) return FailWithLastError("CreateFileW");
        return std::unique_ptr<platform::OutputFile>(std::make_unique<Win32OutputFile>(std::move(file)));
    }

    platform::Result<std::uint64_t> FileSize(const std::wstring& path) const override {
        FileHandle file(::CreateFileW(path.c_str(), GENERIC_READ, FILE_SHARE_READ, nullptr, OPEN_EXISTING,
                                      FILE_ATTRIBUTE_NORMAL, nullptr));
        if (!file) return FailWithLastError("CreateFileW");
        LARGE_INTEGER size{};
        if (!::GetFileSizeEx(file.Get(), &size)) return FailWithLastError("GetFileSizeEx");
        return static_cast<std::uint64_t>(size.QuadPart);
    }

    platform::Result<std::unique_ptr<platform::InputFile>> OpenForReading(const std::wstring& path) const override {
        FileHandle file(::CreateFileW(path.c_str(), GENERIC_READ, FILE_SHARE_READ, nullptr, OPEN_EXISTING,
                                      FILE_ATTRIBUTE_NORMAL, nullptr));
        if (!file) return FailWithLastError("CreateFileW");
        LARGE_INTEGER size{};
        if (!::GetFileSizeEx(file.Get(), &size)) return FailWithLastError("GetFileSizeEx");
        return std::unique_ptr<platform::InputFile>(
            std::make_unique<Win32InputFile>(std::move(file), static_cast<std::uint64_t>(size.QuadPart)));
    }

    bool UnzipWithShell(const std::wstring& archive, const std::wstring& folder) override {
        return win32::UnzipWithShell(archive, folder);
    }

    platform::Result<void> MoveReplacing(const std::wstring& from, const std::wstring& to) override {
        return ResultOf(::MoveFileExW(from.c_str(), to.c_str(), MOVEFILE_REPLACE_EXISTING), "MoveFileExW");
    }
};

}  // namespace

std::shared_ptr<platform::FileSystemPort> MakeFileSystemPort() { return std::make_shared<Win32FileSystem>(); }

}  // namespace tessary::win32
