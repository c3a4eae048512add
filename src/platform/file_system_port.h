#pragma once
#include <optional>
#include <string>
#include <vector>

namespace tessary::platform {

enum class KnownFolder {
    Downloads,
    Documents,
    LocalAppData,
    RoamingAppData,
    ProgramData,
    ProgramFilesX86,
};

struct DirectoryEntry {
    std::wstring name;
    bool isDirectory = false;
};

// Result of a file operation that can fail: the system error code, 0 on success.
using ErrorCode = unsigned long;
inline constexpr ErrorCode kAccessDenied = 5;
inline constexpr ErrorCode kSharingViolation = 32;

class FileSystemPort {
public:
    virtual ~FileSystemPort() = default;
    virtual std::optional<std::wstring> GetKnownFolder(KnownFolder folder) const = 0;
    // The temporary path with its trailing separator; nullopt when the system has none.
    virtual std::optional<std::wstring> GetTempPath() const = 0;
    // Creates a new empty file named prefix + hex digits + ".tmp" in the folder; returns its path.
    virtual std::wstring CreateUniqueTempFile(const std::wstring& folder, const std::wstring& prefix) = 0;
    virtual ErrorCode DeleteFile(const std::wstring& path) = 0;
    virtual ErrorCode CreateDirectory(const std::wstring& path) = 0;
    virtual ErrorCode RemoveDirectory(const std::wstring& path) = 0;
    // Asks the system to delete the path at the next restart.
    virtual bool ScheduleDeleteAtRestart(const std::wstring& path) = 0;
    virtual bool PathExists(const std::wstring& path) const = 0;
    virtual bool IsDirectory(const std::wstring& path) const = 0;
    virtual bool IsDirectoryEmpty(const std::wstring& path) const = 0;
    // The entries of a folder without "." and "..".
    virtual std::vector<DirectoryEntry> ListDirectory(const std::wstring& path) const = 0;
};

}  // namespace tessary::platform
