#include "config/folder_tree.h"

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

}  // namespace

void DeleteFolderTree(const std::wstring& path) {
    auto& files = platform::FileSystem();
    if (!files.PathExists(path) || files.IsDirectoryEmpty(path)) return;

    for (const auto& entry : files.ListDirectory(path).ValueOr({})) {
        const std::wstring entryPath = path + L"\\" + entry.name;
        if (entry.isDirectory) {
            DeleteFolderTree(entryPath);
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
