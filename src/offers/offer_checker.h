#pragma once
// The judgement of each offer of the configuration document, in document order, before any page
// is shown: which offers may stand together, and whether the machine meets each offer's rules.
// An offer that passes is accepted; one that fails is dropped with a reason for the service.
#include <cstdint>
#include <functional>
#include <memory>
#include <string>
#include <unordered_set>
#include <vector>

#include "offers/registry_cache.h"

namespace tessary {

class ConfigurationManager;
class Package;

namespace platform {
class ClockPort;
class FileSystemPort;
class RegistryPort;
class SystemPort;
}  // namespace platform

// What the checker reads the machine through, and where a rejection goes.
struct OfferCheckerPorts {
    const platform::RegistryPort& registry;
    const platform::FileSystemPort& files;
    const platform::SystemPort& system;
    const platform::ClockPort& clock;
    // Reports a rejection to the service; by default event 2 of the package with field "13".
    std::function<void(const std::shared_ptr<Package>& offer, const std::string& reason)> reportRejection;
};

// The ports in force, with rejections reported as events of the package.
OfferCheckerPorts CurrentOfferCheckerPorts();

class OfferChecker {
public:
    // limit: the configuration's maximum number of offers.
    OfferChecker(int limit, ConfigurationManager& config, OfferCheckerPorts ports);

    // True when the offer is accepted. Sets stop when no further offer is to be read. A rule
    // whose evaluation fails for a reason the rules do not foresee drops this offer alone.
    bool Check(const std::shared_ptr<Package>& package, bool& stop,
               const std::vector<std::shared_ptr<Package>>& accepted);

private:
    bool CheckSteps(const std::shared_ptr<Package>& package, bool& stop,
                    const std::vector<std::shared_ptr<Package>>& accepted);
    void RejectOffer(const std::shared_ptr<Package>& package, const std::string& reason);
    void AcceptOffer(const Package& package);
    bool CheckFlowPosition(const std::shared_ptr<Package>& package,
                           const std::vector<std::shared_ptr<Package>>& accepted);

    // Machine requirements.
    bool CheckDiskSpace(const std::shared_ptr<Package>& package);
    bool CheckMemory(const std::shared_ptr<Package>& package);
    bool CheckProcessorSpeed(const std::shared_ptr<Package>& package);
    bool CheckOsVersion(const std::shared_ptr<Package>& package);
    bool CheckPlatformVersion(const std::shared_ptr<Package>& package);
    bool Check64BitOs(const std::shared_ptr<Package>& package);

    // Installed software, files and history.
    bool CheckRegistryRules(const std::shared_ptr<Package>& package);
    bool CheckFiles(const std::shared_ptr<Package>& package);
    bool CheckRunningApps(const std::shared_ptr<Package>& package);
    bool CheckInstalledApps(const std::shared_ptr<Package>& package);
    bool CheckMinDaysSinceUninstall(const std::shared_ptr<Package>& package);
    bool CheckBrowser(const std::shared_ptr<Package>& package);
    bool CheckIeVersion(const std::shared_ptr<Package>& package);
    bool CheckPartnerMarker(const std::shared_ptr<Package>& package);

    bool AnyKeyExists(const std::vector<std::wstring>& entries);
    // Whether some candidate of the entry holds the value (and, with expected, data equal to it).
    bool AnyValueMatches(const std::wstring& entry, bool withData);

    ConfigurationManager& m_config;
    OfferCheckerPorts m_ports;

    std::unordered_set<int> m_verticals;
    std::vector<std::string> m_acceptedIds;
    int m_acceptedCount = 0;
    int m_offerLimit = 0;
    std::vector<std::wstring> m_processNames;
    std::uint64_t m_freeDiskMb = 0;
    bool m_freeDiskKnown = false;
    std::uint64_t m_totalRamMb = 0;
    bool m_totalRamKnown = false;
    std::uint32_t m_cpuMhz = 0;
    bool m_cpuMhzKnown = false;
    offers::RegistryCache m_registry;
};

}  // namespace tessary
