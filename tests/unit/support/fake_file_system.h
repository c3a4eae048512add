#pragma once
#include <functional>
#include <map>
#include <optional>
#include <set>
#include <string>
#include <vector>

#include "platform/file_system_port.h"

namespace tessary::testing {

// An in-memory file system with '\' separators.
class FakeFileSystem : public platform::FileSystemPort {
public:
    platform::Result<std::wstring> GetKnownFolder(platform::KnownFolder folder) const override;
    platform::Result<std::wstring> GetTempPath() const override;
    platform::Result<std::wstring> CreateUniqueTempFile(const std::wstring& folder,
                                                        const std::wstring& prefix) override;
    platform::Result<void> DeleteFile(const std::wstring& path) override;
    platform::Result<void> CreateDirectory(const std::wstring& path) override;
    platform::Result<void> RemoveDirectory(const std::wstring& path) override;
    platform::Result<void> ScheduleDeleteAtRestart(const std::wstring& path) override;
    bool PathExists(const std::wstring& path) const override;
    bool IsDirectory(const std::wstring& path) const override;
    bool IsLink(const std::wstring& path) const override;
    bool IsDirectoryEmpty(const std::wstring& path) const override;
    platform::Result<std::vector<platform::DirectoryEntry>> ListDirectory(const std::wstring& path) const override;
    platform::Result<std::uint64_t> GetFreeBytesAvailable(const std::wstring& folder) const override;
    platform::Result<std::unique_ptr<platform::OutputFile>> CreateOutputFile(const std::wstring& path) override;
    platform::Result<std::uint64_t> FileSize(const std::wstring& path) const override;
    platform::Result<void> MoveReplacing(const std::wstring& from, const std::wstring& to) override;
    platform::Result<std::unique_ptr<platform::InputFile>> OpenForReading(const std::wstring& path) const override;
    bool UnzipWithShell(const std::wstring& archive, const std::wstring& folder) override;

    void AddFile(const std::wstring& path, std::string content = {});
    // The content of a file, or nullopt when there is none.
    std::optional<std::string> Content(const std::wstring& path) const;
    void AddDirectory(const std::wstring& path);

    std::map<platform::KnownFolder, std::wstring> knownFolders;
    std::optional<std::wstring> tempPath = L"C:\\Temp\\";
    std::set<std::wstring> files;
    std::set<std::wstring> directories;
    std::set<std::wstring> lockedFiles;  // deleting these fails with a sharing violation
    // Folders and files that are links: what lies below a folder link stands for what it leads
    // to, which removing the link leaves alone.
    std::set<std::wstring> links;
    std::vector<std::wstring> scheduledForRestart;
    unsigned nextUnique = 0x1A2B;
    // Free bytes by drive root ("C:\\"); a root that is not here fails with ERROR_PATH_NOT_FOUND.
    std::map<std::wstring, std::uint64_t> freeBytes{{L"C:\\", 100ull << 30}};
    mutable int freeSpaceReads = 0;
    std::map<std::wstring, std::string> contents;  // of the files that have some
    // A write that would make a file larger than this fails with ERROR_DISK_FULL.
    std::size_t diskSpace = std::size_t(-1);
    // Opening these for reading fails with ERROR_ACCESS_DENIED.
    std::set<std::wstring> unreadableFiles;
    // Creating these folders fails with ERROR_ACCESS_DENIED.
    std::set<std::wstring> uncreatableDirectories;
    // Stands for the shell: gets this file system, the archive and the folder; without it the
    // shell cannot open archives. Every call is noted in shellUnzips.
    std::function<bool(FakeFileSystem&, const std::wstring&, const std::wstring&)> shellUnzip;
    std::vector<std::pair<std::wstring, std::wstring>> shellUnzips;
};

}  // namespace tessary::testing
