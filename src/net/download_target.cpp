// Where a downloaded file goes. Names come from servers and from the remote configuration, and the
// program runs elevated: a refused name gives no path at all.
#include <optional>

#include "config/configuration_manager.h"
#include "encoding/file_names.h"
#include "net/download_manager.h"
#include "platform/path_join.h"
#include "platform/ports.h"

namespace tessary {
namespace {

// A path the system takes without long-path support: 259 characters and the terminating NUL.
constexpr std::size_t kMaxPath = 259;
constexpr std::size_t kPartSuffixLength = 5;  // ".part", where the file grows until it is complete

void Note(const std::wstring& what, const std::wstring& name) {
    platform::WriteDiagnostic(
        platform::DiagnosticTarget::Debugger,
        platform::Text().ToNarrow(platform::CodePage::Utf8, what + L": " + name).ValueOr(std::string()));
}

std::wstring TargetPath(const std::wstring& name, bool temporaryFolder, const std::wstring& packageFolder) {
    const auto config = ConfigurationManager::GetInstance();
    std::wstring folder = temporaryFolder ? config->m_tempFolder : config->m_downloadFolder;
    if (!platform::FileSystem().IsDirectory(folder)) {
        platform::Ui().ShowMessage(L"Invalid path", std::nullopt, platform::kMbOk);
        return {};
    }
    const auto safeName = SafeFileName(name);
    if (!safeName) {
        Note(L"Refused file name", name);
        return {};
    }
    std::optional<std::wstring> safeFolder;
    if (!packageFolder.empty()) {
        safeFolder = SafeFileName(packageFolder);
        if (!safeFolder) {
            Note(L"Refused package folder", packageFolder);
            return {};
        }
        folder = platform::JoinPath(folder, *safeFolder);
    }
    std::wstring path = platform::JoinPath(folder, *safeName);
    // Checked before the package folder is made, so that a refused path leaves nothing behind.
    if (path.size() + kPartSuffixLength > kMaxPath) {
        Note(L"Path too long", path);
        return {};
    }
    auto& files = platform::FileSystem();
    if (safeFolder && !files.IsDirectory(folder) && !files.CreateDirectory(folder)) {
        Note(L"Cannot create the package folder", folder);
        return {};
    }
    // A junction in its place would lead the file out of the run's folder.
    if (safeFolder && files.IsLink(folder)) {
        Note(L"Refused package folder, it is a link", folder);
        return {};
    }
    return path;
}

}  // namespace

std::wstring DownloadManager::TargetPathFromUrl(const std::wstring& url, bool temporaryFolder,
                                                const std::wstring& packageFolder) const {
    return TargetPath(FileNameFromUrl(url), temporaryFolder, packageFolder);
}

std::wstring DownloadManager::TargetPathFromFileName(const std::wstring& fileName, bool temporaryFolder,
                                                     const std::wstring& packageFolder) const {
    return TargetPath(fileName, temporaryFolder, packageFolder);
}

}  // namespace tessary
