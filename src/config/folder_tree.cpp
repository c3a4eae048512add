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
        if (entry.isDirectory) {
            ScheduleTreeAtRestart(entryPath);
        } else {
            ScheduleDeleteAtRestart(entryPath);
        }
    }
    ScheduleDeleteAtRestart(path);
}

bool IsInUse(const std::wstring& path, const std::vector<std::wstring>& foldersInUse) {
    const auto lower = [](std::wstring text) {
        for (auto& c : text) c = static_cast<wchar_t>(std::towlower(c));
        return text;
    };
    const std::wstring key = lower(path);
    return std::any_of(foldersInUse.begin(), foldersInUse.end(),
                       [&](const std::wstring& folder) { return lower(folder) == key; });
}

}  // namespace

void DeleteFolderTree(const std::wstring& path) { DeleteFolderTree(path, {}); }

void DeleteFolderTree(const std::wstring& path, const std::vector<std::wstring>& foldersInUse) {
    auto& files = platform::FileSystem();
    if (!files.PathExists(path) || files.IsDirectoryEmpty(path)) return;

    for (const auto& entry : files.ListDirectory(path).ValueOr({})) {
        const std::wstring entryPath = path + L"\\" + entry.name;
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
        // let the next restart delete whatever later takes its name.
        if (!files.PathExists(entryPath)) continue;
        const auto removed = files.RemoveDirectory(entryPath);
        if (!removed && entry.isDirectory && !IsLockedOrDenied(removed)) ScheduleDeleteAtRestart(entryPath);
    }
    if (!files.RemoveDirectory(path)) ScheduleDeleteAtRestart(path);
}

}  // namespace tessary
