#pragma once
#include <cstddef>
#include <cstdint>
#include <memory>
#include <string>
#include <vector>

#include "platform/result.h"

namespace tessary::platform {

enum class KnownFolder {
    Desktop,
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
    // A junction or symbolic link: what it leads to lies elsewhere, and removing the entry
    // removes the link only.
    bool isLink = false;
};

// A file open for writing; closed when the object goes.
class OutputFile {
public:
    virtual ~OutputFile() = default;
    virtual Result<void> Write(const char* data, std::size_t size) = 0;
};

// A file open for reading; closed when the object goes. Others may read it meanwhile, but not
// write it.
class InputFile {
public:
    virtual ~InputFile() = default;
    // The size when the file was opened.
    virtual std::uint64_t Size() const = 0;
    // Reads up to size bytes from offset on; fewer only where the file ends (0 at or past its end).
    virtual Result<std::size_t> ReadAt(std::uint64_t offset, char* buffer, std::size_t size) = 0;
};

// Operations that can fail return the system's status with their value; the yes/no questions
// (PathExists and the like) have no failure of their own to report.
class FileSystemPort {
public:
    virtual ~FileSystemPort() = default;
    virtual Result<std::wstring> GetKnownFolder(KnownFolder folder) const = 0;
    // The temporary path with its trailing separator.
    virtual Result<std::wstring> GetTempPath() const = 0;
    // Creates a new empty file named prefix + hex digits + ".tmp" in the folder; returns its path.
    virtual Result<std::wstring> CreateUniqueTempFile(const std::wstring& folder, const std::wstring& prefix) = 0;
    virtual Result<void> DeleteFile(const std::wstring& path) = 0;
    virtual Result<void> CreateDirectory(const std::wstring& path) = 0;
    virtual Result<void> RemoveDirectory(const std::wstring& path) = 0;
    // Asks the system to delete the path at the next restart.
    virtual Result<void> ScheduleDeleteAtRestart(const std::wstring& path) = 0;
    virtual bool PathExists(const std::wstring& path) const = 0;
    virtual bool IsDirectory(const std::wstring& path) const = 0;
    // A junction or symbolic link: what it names lies elsewhere.
    virtual bool IsLink(const std::wstring& path) const = 0;
    virtual bool IsDirectoryEmpty(const std::wstring& path) const = 0;
    // The entries of a folder without "." and "..".
    virtual Result<std::vector<DirectoryEntry>> ListDirectory(const std::wstring& path) const = 0;
    // Bytes free for this user on the volume of the folder (a drive root such as C:\ will do).
    virtual Result<std::uint64_t> GetFreeBytesAvailable(const std::wstring& folder) const = 0;
    // Creates the file or empties it. Until it is closed others may read it but neither write,
    // rename nor delete it.
    virtual Result<std::unique_ptr<OutputFile>> CreateOutputFile(const std::wstring& path) = 0;
    virtual Result<std::uint64_t> FileSize(const std::wstring& path) const = 0;
    virtual Result<std::unique_ptr<InputFile>> OpenForReading(const std::wstring& path) const = 0;
    // Has the system's shell copy everything in a ZIP archive into an existing folder. True when
    // the shell took the copy on; whether files arrived (and when) is the shell's affair, so the
    // caller looks for itself. Where the shell cannot open archives this is false.
    virtual bool UnzipWithShell(const std::wstring& archive, const std::wstring& folder) = 0;
    // Moves a file over another, replacing it when it exists.
    virtual Result<void> MoveReplacing(const std::wstring& from, const std::wstring& to) = 0;
};

}  // namespace tessary::platform
