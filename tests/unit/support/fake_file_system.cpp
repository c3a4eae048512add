#include "fake_file_system.h"

namespace tessary::testing {

namespace {

std::wstring Parent(const std::wstring& path) {
    const auto slash = path.find_last_of(L'\\');
    return slash == std::wstring::npos ? std::wstring() : path.substr(0, slash);
}

bool IsChildOf(const std::wstring& candidate, const std::wstring& folder) { return Parent(candidate) == folder; }

std::wstring TrimSeparator(std::wstring path) {
    while (path.size() > 3 && path.back() == L'\\') path.pop_back();
    return path;
}

}  // namespace

platform::Result<std::wstring> FakeFileSystem::GetKnownFolder(platform::KnownFolder folder) const {
    const auto found = knownFolders.find(folder);
    if (found == knownFolders.end()) return platform::Failure{platform::kFileNotFound};
    return found->second;
}

platform::Result<std::wstring> FakeFileSystem::GetTempPath() const {
    if (!tempPath) return platform::Failure{platform::kPathNotFound};
    return *tempPath;
}

platform::Result<std::wstring> FakeFileSystem::CreateUniqueTempFile(const std::wstring& folder,
                                                                    const std::wstring& prefix) {
    wchar_t hex[16];
    swprintf(hex, 16, L"%X", nextUnique++);
    std::wstring path = folder + prefix + hex + L".tmp";
    AddFile(path);
    return path;
}

platform::Result<void> FakeFileSystem::DeleteFile(const std::wstring& path) {
    if (lockedFiles.count(path)) return platform::Failure{platform::kSharingViolation};
    if (!files.erase(path)) return platform::Failure{platform::kFileNotFound};
    contents.erase(path);
    return {};
}

platform::Result<void> FakeFileSystem::CreateDirectory(const std::wstring& path) {
    const auto clean = TrimSeparator(path);
    if (PathExists(clean)) return platform::Failure{183};  // ERROR_ALREADY_EXISTS
    if (uncreatableDirectories.count(clean)) return platform::Failure{platform::kAccessDenied};
    directories.insert(clean);
    return {};
}

platform::Result<void> FakeFileSystem::RemoveDirectory(const std::wstring& path) {
    const auto clean = TrimSeparator(path);
    if (!directories.count(clean)) return platform::Failure{267};  // ERROR_DIRECTORY
    if (links.erase(clean)) {
        // The link goes; what it led to stays where it is.
        directories.erase(clean);
        return {};
    }
    if (!IsDirectoryEmpty(clean)) return platform::Failure{145};  // ERROR_DIR_NOT_EMPTY
    directories.erase(clean);
    return {};
}

platform::Result<void> FakeFileSystem::ScheduleDeleteAtRestart(const std::wstring& path) {
    scheduledForRestart.push_back(path);
    return {};
}

bool FakeFileSystem::PathExists(const std::wstring& path) const {
    const auto clean = TrimSeparator(path);
    return files.count(clean) || directories.count(clean);
}

bool FakeFileSystem::IsDirectory(const std::wstring& path) const { return directories.count(TrimSeparator(path)) > 0; }

bool FakeFileSystem::IsLink(const std::wstring& path) const { return links.count(TrimSeparator(path)) > 0; }

bool FakeFileSystem::IsDirectoryEmpty(const std::wstring& path) const {
    return IsDirectory(path) && ListDirectory(path)->empty();
}

platform::Result<std::vector<platform::DirectoryEntry>> FakeFileSystem::ListDirectory(const std::wstring& path) const {
    const auto clean = TrimSeparator(path);
    std::vector<platform::DirectoryEntry> entries;
    for (const auto& dir : directories) {
        if (IsChildOf(dir, clean)) entries.push_back({dir.substr(clean.size() + 1), true, links.count(dir) > 0});
    }
    for (const auto& file : files) {
        if (IsChildOf(file, clean)) entries.push_back({file.substr(clean.size() + 1), false});
    }
    return entries;
}

platform::Result<std::uint64_t> FakeFileSystem::GetFreeBytesAvailable(const std::wstring& folder) const {
    ++freeSpaceReads;
    const auto found = freeBytes.find(folder);
    if (found == freeBytes.end()) return platform::Failure{platform::kPathNotFound};
    return found->second;
}

namespace {

constexpr platform::Status kDiskFull = 112;  // ERROR_DISK_FULL

class FakeOutputFile : public platform::OutputFile {
public:
    FakeOutputFile(std::string& content, std::size_t space) : m_content(content), m_space(space) {}
    platform::Result<void> Write(const char* data, std::size_t size) override {
        if (m_content.size() + size > m_space) return platform::Failure{kDiskFull};
        m_content.append(data, size);
        return {};
    }

private:
    std::string& m_content;
    std::size_t m_space;
};

}  // namespace

platform::Result<std::unique_ptr<platform::OutputFile>> FakeFileSystem::CreateOutputFile(const std::wstring& path) {
    if (!IsDirectory(Parent(path)) || IsDirectory(path)) return platform::Failure{platform::kPathNotFound};
    if (lockedFiles.count(path)) return platform::Failure{platform::kSharingViolation};
    files.insert(path);
    std::string& content = contents[path];
    content.clear();
    return std::unique_ptr<platform::OutputFile>(std::make_unique<FakeOutputFile>(content, diskSpace));
}

platform::Result<std::uint64_t> FakeFileSystem::FileSize(const std::wstring& path) const {
    if (!files.count(path)) return platform::Failure{platform::kFileNotFound};
    const auto found = contents.find(path);
    return std::uint64_t{found == contents.end() ? 0 : found->second.size()};
}

platform::Result<void> FakeFileSystem::MoveReplacing(const std::wstring& from, const std::wstring& to) {
    if (!files.count(from)) return platform::Failure{platform::kFileNotFound};
    if (lockedFiles.count(from) || lockedFiles.count(to)) return platform::Failure{platform::kSharingViolation};
    if (!IsDirectory(Parent(to)) || IsDirectory(to)) return platform::Failure{platform::kAccessDenied};
    contents[to] = Content(from).value_or(std::string());
    contents.erase(from);
    files.erase(from);
    files.insert(to);
    return {};
}

namespace {

class FakeInputFile : public platform::InputFile {
public:
    explicit FakeInputFile(std::string content) : m_content(std::move(content)) {}
    std::uint64_t Size() const override { return m_content.size(); }
    platform::Result<std::size_t> ReadAt(std::uint64_t offset, char* buffer, std::size_t size) override {
        if (offset >= m_content.size()) return std::size_t{0};
        return m_content.copy(buffer, size, static_cast<std::size_t>(offset));
    }

private:
    std::string m_content;
};

}  // namespace

platform::Result<std::unique_ptr<platform::InputFile>> FakeFileSystem::OpenForReading(const std::wstring& path) const {
    if (!files.count(path)) return platform::Failure{platform::kFileNotFound};
    if (unreadableFiles.count(path)) return platform::Failure{platform::kAccessDenied};
    return std::unique_ptr<platform::InputFile>(std::make_unique<FakeInputFile>(Content(path).value_or(std::string())));
}

bool FakeFileSystem::UnzipWithShell(const std::wstring& archive, const std::wstring& folder) {
    shellUnzips.emplace_back(archive, folder);
    return shellUnzip && shellUnzip(*this, archive, folder);
}

std::optional<std::string> FakeFileSystem::Content(const std::wstring& path) const {
    if (!files.count(path)) return std::nullopt;
    const auto found = contents.find(path);
    return found == contents.end() ? std::string() : found->second;
}

void FakeFileSystem::AddFile(const std::wstring& path, std::string content) {
    files.insert(path);
    if (!content.empty()) contents[path] = std::move(content);
}
void FakeFileSystem::AddDirectory(const std::wstring& path) { directories.insert(TrimSeparator(path)); }

}  // namespace tessary::testing
