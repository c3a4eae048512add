#include "install/zip_extractor.h"

#include <algorithm>
#include <optional>

#include "install/zip_entry_data.h"
#include "install/zip_entry_path.h"
#include "platform/diagnostics.h"
#include "platform/path_join.h"
#include "platform/ports.h"

namespace tessary {
namespace {

// "<what> <name>: <why>" on the debugger output.
void Note(const char* what, const std::wstring& name, const std::string& why) {
    const auto narrow = platform::Text().ToNarrow(platform::CodePage::Utf8, name).ValueOr("?");
    platform::WriteDiagnostic(platform::DiagnosticTarget::Debugger, std::string(what) + " " + narrow + ": " + why);
}

void NoteEntry(const std::wstring& name, const std::string& why) { Note("Archive entry", name, why); }

// Makes each folder of the path below root that is not there yet; the path of the last one, or
// nothing when one cannot be made. A junction on the way would lead out of the folder: nothing is
// written through one.
std::optional<std::wstring> MakeFolders(const std::wstring& root, const std::vector<std::wstring>& parts,
                                        std::size_t count) {
    auto& files = platform::FileSystem();
    std::wstring folder = root;
    if (files.IsLink(folder)) return std::nullopt;
    for (std::size_t index = 0; index < count; ++index) {
        folder = platform::JoinPath(folder, parts[index]);
        if (!files.IsDirectory(folder) && !files.CreateDirectory(folder)) return std::nullopt;
        if (files.IsLink(folder)) return std::nullopt;
    }
    return folder;
}

enum class Outcome { Written, Skipped, Failed, Folder };

Outcome ExtractEntry(platform::InputFile& archive, const ZipEntry& entry, const std::wstring& root) {
    const auto name = DecodeEntryName(entry);
    if (!name) {
        NoteEntry(L"(not valid text)", "refused, its name cannot be read");
        return Outcome::Skipped;
    }
    const auto parts = SafeEntryPath(*name);
    if (!parts) {
        NoteEntry(*name, "refused, its name leads outside the folder or cannot be a file");
        return Outcome::Skipped;
    }
    if (NamesFolder(*name)) {
        if (MakeFolders(root, *parts, parts->size())) return Outcome::Folder;
        NoteEntry(*name, "failed, the folder cannot be made");
        return Outcome::Failed;
    }
    if (entry.encrypted) {
        NoteEntry(*name, "skipped, it is encrypted");
        return Outcome::Skipped;
    }
    if (entry.method != 0 && entry.method != 8) {
        NoteEntry(*name, "skipped, its compression method is not read");
        return Outcome::Skipped;
    }

    const auto folder = MakeFolders(root, *parts, parts->size() - 1);
    if (!folder) {
        NoteEntry(*name, "failed, its folder cannot be made");
        return Outcome::Failed;
    }
    const std::wstring path = platform::JoinPath(*folder, parts->back());
    auto& files = platform::FileSystem();
    if (files.IsDirectory(path) || files.IsLink(path)) {
        NoteEntry(*name, "failed, a folder or a link has its name");
        return Outcome::Failed;
    }
    std::string problem;
    {
        auto out = files.CreateOutputFile(path);
        if (!out) {
            NoteEntry(*name, "failed, its file cannot be created");
            return Outcome::Failed;
        }
        problem = UnpackEntryData(archive, entry, **out);
    }  // closed here, so that a bad file can be deleted
    if (problem.empty()) return Outcome::Written;
    NoteEntry(*name, "failed, " + problem);
    if (!files.DeleteFile(path)) NoteEntry(*name, "cannot be deleted after it failed");
    return Outcome::Failed;
}

}  // namespace

bool ZipStaysInsideItsFolder(const std::wstring& archive, const ZipLimits& limits) {
    const auto file = platform::FileSystem().OpenForReading(archive);
    if (!file) return false;
    const ZipDirectory directory = ReadZipDirectory(**file, limits);
    if (!directory.refusal.empty()) return false;
    return std::all_of(directory.entries.begin(), directory.entries.end(), [](const ZipEntry& entry) {
        const auto name = DecodeEntryName(entry);
        return name && SafeEntryPath(*name);
    });
}

ZipExtraction ExtractZip(const std::wstring& archive, const std::wstring& folder, const ZipLimits& limits) {
    ZipExtraction result;
    const auto file = platform::FileSystem().OpenForReading(archive);
    if (!file) return result;
    const ZipDirectory directory = ReadZipDirectory(**file, limits);
    if (!directory.refusal.empty()) {
        Note("Archive", archive, "refused, it " + directory.refusal);
        return result;
    }
    result.readable = true;
    for (const ZipEntry& entry : directory.entries) {
        switch (ExtractEntry(**file, entry, folder)) {
            case Outcome::Written:
                ++result.written;
                break;
            case Outcome::Skipped:
                ++result.skipped;
                break;
            case Outcome::Failed:
                ++result.failed;
                break;
            case Outcome::Folder:
                break;
        }
    }
    return result;
}

}  // namespace tessary
