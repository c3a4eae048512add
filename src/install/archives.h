#pragma once
#include <string>

namespace tessary {

// What DetectArchiveType finds at the start of a file.
inline constexpr int kNotAnArchive = 0;  // or a file that cannot be read
inline constexpr int kZipArchive = 1;    // 50 4B 03 04
inline constexpr int kSevenZipArchive = 2;  // 37 7A BC AF 27 1C

int DetectArchiveType(const std::wstring& path);

// The program to run for a downloaded file: for a ZIP, the first program unpacked from it into a
// folder of the archive's name inside parentFolder; otherwise (and whenever unpacking finds no
// program) the file itself.
std::wstring ExtractArchive(const std::wstring& path, int type, const std::wstring& parentFolder);

// parentFolder + "\" + the archive's file name without its extension, made when it is not there;
// parentFolder itself when it cannot be made or the name is a file's (the archive's own, when its
// name has no extension).
std::wstring MakeExtractionFolder(const std::wstring& archivePath, const std::wstring& parentFolder);

// The name of the first file ending in ".exe" directly in the folder, in case-insensitive name
// order; empty when there is none.
std::wstring FindFirstExe(const std::wstring& folder);

}  // namespace tessary
