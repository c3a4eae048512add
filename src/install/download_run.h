#pragma once
// The work of a download page apart from its window: which file comes next, from where and into
// which folder; what each outcome reports; which program is started next and how. The page asks
// and carries out: it starts the transfers and launches, polls them and moves the progress bar.
#include <deque>
#include <functional>
#include <memory>
#include <string>
#include <utility>
#include <vector>

#include <nlohmann/json.hpp>

#include "config/wizard_type.h"
#include "install/run_executable.h"

namespace tessary {

struct ConfigurationValues;
class Package;

// One file to fetch, as the download manager takes it.
struct DownloadOrder {
    std::pair<std::wstring, std::wstring> urls;  // the address and its fallback ("" for none)
    std::wstring fileName;                       // "" for the name the address ends in
    bool temporaryFolder = true;
    std::wstring packageFolder;  // "" for the folder itself
};

// One program to start.
struct LaunchOrder {
    std::wstring path;
    std::wstring arguments;
    bool wait = false;  // only the installer flavour's main product is waited for
};

// The address a package names: unchanged when it is a complete web address, otherwise a file on
// the file host.
std::wstring PrefixedUrl(const std::wstring& url, const std::wstring& filesUrl);

class DownloadRun {
public:
    // Sends an event of a package; the pages report through Package::ReportEvent.
    using Reporter = std::function<void(Package& package, int code, const nlohmann::json& extra)>;

    DownloadRun(WizardType flavour, ConfigurationValues& config, Reporter reporter);

    // Queues the main product and then the accepted offers in the order they were accepted, and
    // writes the partner markers of the offers shown.
    void Begin();

    bool HasDownload() const { return !m_downloadQueue.empty(); }
    // The file at the front of the queue; call only while HasDownload.
    DownloadOrder NextDownload() const;
    // The transfer of the front file ended, with the download manager's result and, on success,
    // where the file is. Reports a failure, and queues the file for the run phase.
    void DownloadEnded(bool ok, const std::wstring& text, const std::wstring& path);

    bool HasLaunch() const { return !m_runQueue.empty(); }
    bool NextLaunchIsMainProduct() const;
    // The program for the front of the run queue, unpacked first when it is a ZIP archive; call
    // only while HasLaunch. The entry stays at the front until LaunchEnded.
    LaunchOrder NextLaunch();
    // The front launch ended with this result. Reports it and leaves the queue.
    void LaunchEnded(const LaunchResult& result);

    bool MainFailed() const { return m_mainFailed; }
    // The package folders a program may still run from: those of the programs started and not
    // yet ended, and the folder of a launch whose end has not been told yet. Removing the run's
    // files must leave them to the next restart.
    std::vector<std::wstring> FoldersInUse() const;

private:
    struct Queued {
        std::shared_ptr<Package> package;
        int number = 0;  // its place in the queue from 1; names its folder among the run's files
    };
    struct Downloaded {
        std::shared_ptr<Package> package;
        std::wstring path;
    };
    struct Started {
        std::wstring folder;
        std::shared_ptr<platform::RunningProcess> process;
    };
    void ReportFailure(Package& package, const char* prefix, const std::wstring& text);

    WizardType m_flavour;
    ConfigurationValues& m_config;
    Reporter m_report;
    std::deque<Queued> m_downloadQueue;
    std::deque<Downloaded> m_runQueue;
    std::wstring m_launchedPath;  // the program of the front entry once NextLaunch chose it
    std::wstring m_launchFolder;  // the front entry's folder while its launch has not ended
    std::vector<Started> m_startedPrograms;
    bool m_mainFailed = false;
};

}  // namespace tessary
