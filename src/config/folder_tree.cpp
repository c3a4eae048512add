#include "config/folder_tree.h"

#include "platform/ports.h"

namespace tessary {
namespace {

bool IsLockedOrDenied(platform::ErrorCode error) {
    return error == platform::kAccessDenied || error == platform::kSharingViolation;
}

}  // namespace

void DeleteFolderTree(const std::wstring& path) {
    auto& files = platform::FileSystem();
    if (!files.PathExists(path) || files.IsDirectoryEmpty(path)) return;

    for (const auto& entry : files.ListDirectory(path)) {
        const std::wstring entryPath = path + L"\\" + entry.name;
        if (entry.isDirectory) {
            DeleteFolderTree(entryPath);
        } else if (IsLockedOrDenied(files.DeleteFile(entryPath))) {
            files.ScheduleDeleteAtRestart(entryPath);
        }
        // Only what is still there is tried again: scheduling a path that is already gone would
        // let the next restart delete whatever later takes its name.
        if (!files.PathExists(entryPath)) continue;
        const platform::ErrorCode error = files.RemoveDirectory(entryPath);
        if (error != 0 && entry.isDirectory && !IsLockedOrDenied(error)) files.ScheduleDeleteAtRestart(entryPath);
    }
    if (files.RemoveDirectory(path) != 0) files.ScheduleDeleteAtRestart(path);
}

}  // namespace tessary
