#pragma once
#include <string>

namespace tessary {

// Removes a folder and everything in it. What cannot be removed now is left to the system to
// remove at the next restart; nothing is reported. A folder that is already empty is left alone.
void DeleteFolderTree(const std::wstring& path);

}  // namespace tessary
