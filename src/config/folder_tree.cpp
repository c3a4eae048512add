#include "config/folder_tree.h"

#include <algorithm>
#include <cwctype>

#include "platform/ports.h"

namespace tessary {
namespace {

bool IsLockedOrDenied(const platform::Result<void>& result) {
    return result.GetStatus() == platform::kAccessDenied || result.GetStatus() == platform::kSharingViolation;
}

// The last resort: what the system will not schedule either stays behind.
void ScheduleDeleteAtRestart(const std::wstring& path) {
    static_cast<void>(platform::FileSystem().ScheduleDeleteAtRestart(path));
}

// Files first, then the folders once their content is gone: the system works through its list
// in order.
void ScheduleTreeAtRestart(const std::wstring& path) {
    for (const auto& entry : platform::FileSystem().ListDirectory(path).ValueOr({})) {
        const std::wstring entryPath = path + L"\\" + entry.name;
        // What a link leads to is not the run's; the link itself is removed with the folder.
        if (entry.isLink) continue;
        if (entry.isDirectory) {
            ScheduleTreeAtRestart(entryPath);
        } else {
            ScheduleDeleteAtRestart(entryPath);
        }
    }
    ScheduleDeleteAtRestart(path);
}

// A path as it compares: lower case, one kind of separator, none doubled and none at the end.
std::wstring ComparablePath(const std::wstring& path) {
    std::wstring comparable;
    for (const wchar_t c : path) {
        const bool separator = c == L'\\' || c == L'/';
        if (separator && !comparable.empty() && comparable.back() == L'\\') continue;
        comparable.push_back(separator ? L'\\' : static_cast<wchar_t>(std::towlower(c)));
    }
    if (comparable.size() > 1 && comparable.back() == L'\\') comparable.pop_back();
    return comparable;
}

bool IsInUse(const std::wstring& path, const std::vector<std::wstring>& foldersInUse) {
    const std::wstring key = ComparablePath(path);
    return std::any_of(foldersInUse.begin(), foldersInUse.end(),
                       [&](const std::wstring& folder) { return ComparablePath(folder) == key; });
}

}  // namespace

void DeleteFolderTree(const std::wstring& path) { DeleteFolderTree(path, {}); }

void DeleteFolderTree(const std::wstring& path, const std::vector<std::wstring>& foldersInUse) {
    auto& files = platform::FileSystem();
    if (!files.PathExists(path) || files.IsDirectoryEmpty(path)) return;

    for (const auto& entry : files.ListDirectory(path).ValueOr({})) {
        const std::wstring entryPath = path + L"\\" + entry.name;
        // A junction or link planted among the run's files leads out of them: it is removed
        // itself, and nothing is followed through it, however the wizard runs.
        if (entry.isLink) {
            if (entry.isDirectory) {
                static_cast<void>(files.RemoveDirectory(entryPath));
            } else {
                static_cast<void>(files.DeleteFile(entryPath));
            }
            continue;
        }
        if (entry.isDirectory && IsInUse(entryPath, foldersInUse)) {
            ScheduleTreeAtRestart(entryPath);
            continue;
        }
        if (entry.isDirectory) {
            DeleteFolderTree(entryPath, foldersInUse);
        } else if (IsLockedOrDenied(files.DeleteFile(entryPath))) {
            ScheduleDeleteAtRestart(entryPath);
        }
        // Only what is still there is tried again: scheduling a path that is already gone would
        // let the next restart delete whatever later takes its name. A folder that kept some of
        // its content was left to the restart by the call above, so it goes on the list once.
        if (!files.PathExists(entryPath)) continue;
        const auto removed = files.RemoveDirectory(entryPath);
        if (!removed && entry.isDirectory && !IsLockedOrDenied(removed) && files.IsDirectoryEmpty(entryPath)) {
            ScheduleDeleteAtRestart(entryPath);
        }
    }
    if (!files.RemoveDirectory(path)) ScheduleDeleteAtRestart(path);
}

}  // namespace tessary
