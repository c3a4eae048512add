#pragma once
#include <string>
#include <vector>

namespace tessary {

// Removes a folder and everything in it. What cannot be removed now is left to the system to
// remove at the next restart; nothing is reported. A folder that is already empty is left alone.
void DeleteFolderTree(const std::wstring& path);

// The same, except for the folders in use (a program started from one may still be running, and
// may still need what lies beside it): those are left, with everything in them, for the system
// to remove at the next restart.
void DeleteFolderTree(const std::wstring& path, const std::vector<std::wstring>& foldersInUse);

}  // namespace tessary
