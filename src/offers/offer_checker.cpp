#include "offers/offer_checker.h"

#include <climits>
#include <exception>

#include <nlohmann/json.hpp>

#include "config/configuration_manager.h"
#include "config/package.h"
#include "offers/registry_access.h"
#include "platform/diagnostics.h"
#include "platform/ports.h"

namespace tessary {
namespace {

constexpr int kRejectionEvent = 2;

void ReportRejectionEvent(const std::shared_ptr<Package>& offer, const std::string& reason) {
    offer->ReportEvent(kRejectionEvent, nlohmann::json{{"13", reason}});
}

// a + b for counts that a document may push to the ends of int.
long long Sum(int a, int b) { return static_cast<long long>(a) + b; }

}  // namespace

OfferCheckerPorts CurrentOfferCheckerPorts() {
    return {platform::Registry(), platform::FileSystem(), platform::System(), platform::Clock(),
            ReportRejectionEvent};
}

OfferChecker::OfferChecker(int limit, ConfigurationManager& config, OfferCheckerPorts ports)
    : m_config(config),
      m_ports(std::move(ports)),
      m_offerLimit(limit),
      m_registry(m_ports.registry, m_ports.files, offers::RegistryMachine{offers::IsWow64(m_ports.system)}) {
    if (!m_ports.reportRejection) m_ports.reportRejection = ReportRejectionEvent;
}

bool OfferChecker::Check(const std::shared_ptr<Package>& package, bool& stop,
                         const std::vector<std::shared_ptr<Package>>& accepted) {
    try {
        return CheckSteps(package, stop, accepted);
    } catch (...) {
        // A rule the checks cannot evaluate keeps this offer away; the others are still judged.
        platform::ReportCurrentException("offer check of " + package->m_offerId);
        return false;
    }
}

bool OfferChecker::CheckSteps(const std::shared_ptr<Package>& package, bool& stop,
                              const std::vector<std::shared_ptr<Package>>& accepted) {
    if (m_acceptedCount >= Sum(m_offerLimit, m_config.m_offerCounter)) {
        stop = true;
        return false;
    }
    if (CheckFlowPosition(package, accepted)) return false;

    const int vertical = package->m_vertical;
    if (m_verticals.contains(vertical)) {
        RejectOffer(package, vertical == -1 ? "MULTIPLE OFFERS W/O VERTICAL" : "SAME VERTICAL OFFER ALREADY PRESENT");
        return false;
    }
    if (package->m_exclusive && m_acceptedCount != 0) {
        RejectOffer(package, "EXCLUSIVE, BUT ANOTHER OFFER ALREADY PRESENT");
        return false;
    }

    using Step = bool (OfferChecker::*)(const std::shared_ptr<Package>&);
    static constexpr Step kRuleSteps[] = {
        &OfferChecker::CheckRegistryRules,   &OfferChecker::CheckDiskSpace,
        &OfferChecker::CheckMemory,          &OfferChecker::CheckProcessorSpeed,
        &OfferChecker::CheckOsVersion,       &OfferChecker::CheckPlatformVersion,
        &OfferChecker::Check64BitOs,         &OfferChecker::CheckFiles,
        &OfferChecker::CheckRunningApps,     &OfferChecker::CheckInstalledApps,
        &OfferChecker::CheckMinDaysSinceUninstall, &OfferChecker::CheckBrowser,
        &OfferChecker::CheckIeVersion,       &OfferChecker::CheckPartnerMarker,
    };
    for (const Step step : kRuleSteps) {
        if ((this->*step)(package)) return false;
    }
    AcceptOffer(*package);
    return true;
}

void OfferChecker::RejectOffer(const std::shared_ptr<Package>& package, const std::string& reason) {
    if (m_acceptedCount < m_offerLimit) m_ports.reportRejection(package, reason);
}

void OfferChecker::AcceptOffer(const Package& package) {
    ++m_acceptedCount;
    m_verticals.insert(package.m_vertical);
    m_acceptedIds.push_back(package.m_offerId);
    if (package.m_skipIfDeclinedBefore && m_acceptedCount > 1 && m_config.m_offerCounter < INT_MAX) {
        ++m_config.m_offerCounter;
    }
}

}  // namespace tessary
