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

// A junction or link among the run's files leads out of them (the wizard runs elevated, the
// folder is the user's): the link itself goes at once, and nothing is followed through it.
void RemoveLink(const std::wstring& path, bool isDirectory) {
    auto& files = platform::FileSystem();
    static_cast<void>(isDirectory ? files.RemoveDirectory(path) : files.DeleteFile(path));
}

// Files first, then the folders once their content is gone: the system works through its list
// in order.
void ScheduleTreeAtRestart(const std::wstring& path) {
    for (const auto& entry : platform::FileSystem().ListDirectory(path).ValueOr({})) {
        const std::wstring entryPath = path + L"\\" + entry.name;
        if (entry.isLink) {
            RemoveLink(entryPath, entry.isDirectory);
            continue;
        }
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
    // The folder itself may have been swapped for a junction since it was made.
    if (files.IsLink(path)) {
        RemoveLink(path, true);
        return;
    }
    if (!files.PathExists(path) || files.IsDirectoryEmpty(path)) return;

    for (const auto& entry : files.ListDirectory(path).ValueOr({})) {
        const std::wstring entryPath = path + L"\\" + entry.name;
        if (entry.isLink) {
            RemoveLink(entryPath, entry.isDirectory);
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
