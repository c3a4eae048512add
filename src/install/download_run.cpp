#include "install/download_run.h"

#include "config/configuration_manager.h"
#include "config/package.h"
#include "encoding/text_conversion.h"
#include "encoding/url_check.h"
#include "install/archives.h"
#include "install/isv_arguments.h"
#include "platform/ports.h"

namespace tessary {
namespace {

// The folder a file lies in: everything before its last separator.
std::wstring FolderOf(const std::wstring& path) {
    const auto separator = path.find_last_of(L"\\/");
    return separator == std::wstring::npos ? std::wstring() : path.substr(0, separator);
}

std::wstring WidenDocumentText(const std::string& text) {
    try {
        return Utf8ToWide(text);
    } catch (const std::exception&) {
        return {};  // a text that is no UTF-8 names nothing; the transfer or launch then fails
    }
}

}  // namespace

// A bare name ("setup.exe", "offers/a.exe") is a file on the file host. So is a host without a
// scheme: the address check alone would take "cdn.example/a.exe" for a complete address that no
// stack can fetch. Complete addresses, with ports or single-label hosts, stay as they are.
std::wstring PrefixedUrl(const std::wstring& url, const std::wstring& filesUrl) {
    if (IsWebAddress(url)) return url;
    return filesUrl + url;
}

DownloadRun::DownloadRun(WizardType flavour, ConfigurationValues& config, Reporter reporter)
    : m_flavour(flavour), m_config(config), m_report(std::move(reporter)) {}

void DownloadRun::Begin() {
    int number = 0;
    if (m_config.m_mainPackage) m_downloadQueue.push_back({m_config.m_mainPackage, ++number});
    for (const auto& package : m_config.m_shownPackages) {
        if (package->m_pnEnabled) static_cast<void>(package->WritePnMarker());
    }
    for (const auto& package : m_config.m_acceptedPackages) m_downloadQueue.push_back({package, ++number});
}

DownloadOrder DownloadRun::NextDownload() const {
    const Queued& front = m_downloadQueue.front();
    DownloadOrder order;
    // Every file in the run's temporary folder gets a folder of its own: two offers may well both
    // be called setup.exe, and the second must not replace the first.
    order.packageFolder = std::to_wstring(front.number);
    if (!front.package->m_isMainProduct) {
        order.urls.first = PrefixedUrl(WidenDocumentText(front.package->m_downloadUrl), m_config.m_filesUrl);
    } else if (m_flavour == WizardType::Dlm) {
        // The product the user came for lands in the download folder under its own name.
        order.urls.first = m_config.m_productUrl;
        order.fileName = m_config.m_productFileName;
        order.temporaryFolder = false;
        order.packageFolder.clear();
    } else {
        order.urls.first = PrefixedUrl(m_config.m_productUrl, m_config.m_filesUrl);
        if (!m_config.m_productFallbackUrl.empty()) {
            order.urls.second = PrefixedUrl(m_config.m_productFallbackUrl, m_config.m_filesUrl);
        }
    }
    return order;
}

void DownloadRun::DownloadEnded(bool ok, const std::wstring& text, const std::wstring& path) {
    const std::shared_ptr<Package> package = m_downloadQueue.front().package;
    m_downloadQueue.pop_front();
    if (!ok) {
        ReportFailure(*package, "DOWNLOAD FAILED: ", text);
        if (package->m_isMainProduct) m_mainFailed = true;
        return;
    }
    if (package->m_isMainProduct) {
        m_config.m_downloadedPath = path;
        // The download flavour's product is done once it is on disk; the installer flavour's
        // once its installer has run.
        if (m_flavour == WizardType::Dlm) {
            m_report(*package, 3, nullptr);
            return;
        }
    }
    m_runQueue.push_back({package, path});
}

bool DownloadRun::NextLaunchIsMainProduct() const { return m_runQueue.front().package->m_isMainProduct; }

LaunchOrder DownloadRun::NextLaunch() {
    const Downloaded& front = m_runQueue.front();
    LaunchOrder order;
    order.path = front.path;
    const int type = DetectArchiveType(front.path);
    // Unpacked beside the archive, in the folder that is its package's alone.
    if (type != kNotAnArchive) order.path = ExtractArchive(front.path, type, FolderOf(front.path));
    if (!front.package->m_isMainProduct) {
        order.arguments = WidenDocumentText(front.package->m_installerArguments);
    } else if (m_config.m_btClassicOptions) {
        order.arguments = BuildIsvArguments(m_config);
    } else {
        order.arguments = m_config.m_productArguments;
    }
    order.wait = front.package->m_isMainProduct;
    m_launchedPath = order.path;
    m_launchFolder = FolderOf(front.path);
    return order;
}

void DownloadRun::LaunchEnded(const LaunchResult& result) {
    const std::shared_ptr<Package> package = m_runQueue.front().package;
    m_runQueue.pop_front();
    const std::wstring folder = std::exchange(m_launchFolder, std::wstring());
    if (package->m_isMainProduct) {
        if (result.exitCode != 0) {
            ReportFailure(*package, "EXEC FAILED: ", result.message);
            m_mainFailed = true;
            return;
        }
        m_config.m_downloadedPath = m_launchedPath;
        m_report(*package, 3, nullptr);
        return;
    }
    // An offer nobody waits for has succeeded once its process exists; one that could not start
    // (an archive that could not be unpacked, a file that is no program) failed.
    if (!result.started) {
        ReportFailure(*package, "EXEC FAILED: ", result.message);
        return;
    }
    m_startedPrograms.push_back({folder, result.process});
    m_report(*package, 3, nullptr);
}

std::vector<std::wstring> DownloadRun::FoldersInUse() const {
    std::vector<std::wstring> folders;
    if (!m_launchFolder.empty()) folders.push_back(m_launchFolder);
    for (const auto& started : m_startedPrograms) {
        if (started.process && !started.process->HasEnded()) folders.push_back(started.folder);
    }
    return folders;
}

void DownloadRun::ReportFailure(Package& package, const char* prefix, const std::wstring& text) {
    const int code = package.m_isMainProduct && m_config.m_mainFailureCode3 ? 3 : -1;
    // The service reads its JSON as UTF-8.
    const std::string narrow = platform::Text().ToNarrow(platform::CodePage::Utf8, text).ValueOr(std::string());
    m_report(package, code, nlohmann::json{{"12", std::string(prefix).append(narrow)}});
}

}  // namespace tessary
