// Downloaded archives: where one is unpacked, and which of its programs is started.
#include "install/archives.h"

#include <algorithm>

#include "install/zip_extractor.h"
#include "platform/path_join.h"
#include "platform/ports.h"

namespace tessary {
namespace {

wchar_t FoldAscii(wchar_t c) { return c >= L'A' && c <= L'Z' ? static_cast<wchar_t>(c - L'A' + L'a') : c; }

std::wstring Folded(const std::wstring& text) {
    std::wstring folded = text;
    std::transform(folded.begin(), folded.end(), folded.begin(), FoldAscii);
    return folded;
}

bool EndsWithExe(const std::wstring& name) { return Folded(name).ends_with(L".exe"); }

// Case-insensitive order, and a fixed one for names that differ in case only.
bool NameBefore(const std::wstring& a, const std::wstring& b) {
    const auto foldedA = Folded(a);
    const auto foldedB = Folded(b);
    return foldedA != foldedB ? foldedA < foldedB : a < b;
}

}  // namespace

std::wstring MakeExtractionFolder(const std::wstring& archivePath, const std::wstring& parentFolder) {
    std::wstring name;
    const auto slash = archivePath.rfind(L'\\');
    if (slash != std::wstring::npos) {
        name = L"\\" + archivePath.substr(slash + 1);
        const auto dot = name.rfind(L'.');
        if (dot != std::wstring::npos) name.resize(dot);
    }
    const std::wstring folder = parentFolder + name;
    // What already has the name must be a folder of the run's own: an archive whose name has no
    // extension (a download called "get") bears the folder's name itself, and a junction planted
    // there would lead elsewhere.
    auto& files = platform::FileSystem();
    if ((files.CreateDirectory(folder) || files.IsDirectory(folder)) && !files.IsLink(folder)) return folder;
    return parentFolder;
}

std::wstring FindFirstExe(const std::wstring& folder) {
    const auto entries = platform::FileSystem().ListDirectory(folder);
    if (!entries) return {};
    // The file system's own order differs between systems and even between volumes; the name
    // order makes the same archive start the same program everywhere.
    const std::wstring* first = nullptr;
    for (const auto& entry : *entries) {
        if (entry.isDirectory || !EndsWithExe(entry.name)) continue;
        if (!first || NameBefore(entry.name, *first)) first = &entry.name;
    }
    return first ? *first : std::wstring();
}

std::wstring ExtractArchive(const std::wstring& path, int type, const std::wstring& parentFolder) {
    if (type != kZipArchive) return path;  // a 7z archive, for one, is started as it is
    const std::wstring folder = MakeExtractionFolder(path, parentFolder);
    std::wstring program;
    // The shell is not asked to keep an archive's entries inside the folder: it only gets
    // archives whose every entry stays there anyway.
    if (ZipStaysInsideItsFolder(path) && platform::FileSystem().UnzipWithShell(path, folder)) {
        program = FindFirstExe(folder);
    }
    // The shell unpacks nothing where it cannot open archives, and may have left a copy half done.
    if (program.empty()) {
        ExtractZip(path, folder);
        program = FindFirstExe(folder);
    }
    return program.empty() ? path : platform::JoinPath(folder, program);
}

}  // namespace tessary
