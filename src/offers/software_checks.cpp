// The offer's rules on what the machine holds: registry keys and values, files, running
// programs, registered applications, the time of an earlier uninstallation, the browser, and the
// marker this wizard leaves after showing a partner's offer.
#include <algorithm>
#include <cstdint>
#include <ctime>
#include <limits>
#include <string>
#include <tuple>

#include "config/configuration_manager.h"
#include "config/package.h"
#include "encoding/number_text.h"
#include "encoding/text_conversion.h"
#include "offers/offer_checker.h"
#include "offers/registry_access.h"
#include "platform/clock_port.h"
#include "platform/file_system_port.h"
#include "platform/system_port.h"

namespace tessary {
namespace {

using offers::LowerCase;

constexpr std::int64_t kSecondsPerDay = 86400;

// The three places a Chromium-family browser installs itself, before the registry is asked.
constexpr const wchar_t* kBrowserPaths[] = {
    L"{commonpf}\\Chromium\\Application\\chrome.exe",
    L"{commonpf}\\Google\\Chrome\\Application\\chrome.exe",
    L"{localappdata}\\Chromium\\Application\\chrome.exe",
};

// stored + days, in seconds, kept within the range of the stored time's type.
std::uint64_t KeptAwayUntil(std::uint64_t stored, int days) {
    const std::int64_t span = static_cast<std::int64_t>(days) * kSecondsPerDay;
    if (span >= 0) {
        const auto forward = static_cast<std::uint64_t>(span);
        return stored > std::numeric_limits<std::uint64_t>::max() - forward ? std::numeric_limits<std::uint64_t>::max()
                                                                            : stored + forward;
    }
    const auto backward = static_cast<std::uint64_t>(-span);
    return stored < backward ? 0 : stored - backward;
}

// A process name matches a pattern with as many dots, after dropping one extension when the name
// has more ("setup.x86" matches "setup.x86.exe", "chrome" matches "chrome.exe").
bool ProcessMatches(std::wstring name, const std::wstring& pattern) {
    const auto dots = std::count(pattern.begin(), pattern.end(), L'.');
    if (std::count(name.begin(), name.end(), L'.') > dots) name.erase(name.rfind(L'.'));
    return name == pattern;
}

// The calendar date as eight digits, yyyymmdd, as the marker stores it.
std::wstring DateDigits(const std::tm& date) {
    std::wstring digits = std::to_wstring((date.tm_year + 1900) * 10000 + (date.tm_mon + 1) * 100 + date.tm_mday);
    if (digits.size() < 8) digits.insert(0, 8 - digits.size(), L'0');
    return digits;
}

}  // namespace

bool OfferChecker::AnyKeyExists(const std::vector<std::wstring>& entries) {
    for (const auto& entry : entries) {
        if (entry.empty()) continue;
        for (const auto& candidate : offers::ExpandRegistryPath(LowerCase(entry), m_registry.Machine())) {
            if (m_registry.KeyExists(candidate)) return true;
        }
    }
    return false;
}

bool OfferChecker::AnyValueMatches(const std::wstring& entry, bool withData) {
    if (entry.empty()) return false;
    for (const auto& candidate : offers::ExpandRegistryPath(LowerCase(entry), m_registry.Machine())) {
        std::wstring expected;
        std::wstring valuePath = candidate;
        if (withData) std::tie(valuePath, expected) = offers::SplitAtLastBackslash(candidate);
        auto [keyPath, valueName] = offers::SplitAtLastBackslash(valuePath);
        if (!m_registry.KeyExists(keyPath)) continue;
        offers::ViewFlag view = offers::ViewFlag::Default;
        if (offers::AdjustRegistryView(keyPath, view, m_registry.Machine())) continue;
        const auto key = offers::OpenFullPath(m_ports.registry, keyPath, view, m_registry.Machine());
        if (!key) continue;
        if (!offers::ValueExists(m_ports.registry, **key, valueName)) continue;
        if (!withData) return true;
        const auto type = offers::GetValueType(m_ports.registry, **key, valueName);
        if (type != platform::kRegNone && offers::ValueDataEquals(m_ports.registry, type, **key, valueName, expected)) {
            return true;
        }
    }
    return false;
}

bool OfferChecker::CheckRegistryRules(const std::shared_ptr<Package>& package) {
    const Package& offer = *package;
    const char* reason = nullptr;
    if (!offer.m_registryKeysMustNotExist.empty() && AnyKeyExists(offer.m_registryKeysMustNotExist)) {
        reason = "REGISTRY KEY EXISTS";
    } else if (!offer.m_registryKeysOneMustExist.empty() && !AnyKeyExists(offer.m_registryKeysOneMustExist)) {
        reason = "NONE OF THE REGISTRY KEYS EXISTS";
    } else if (std::any_of(offer.m_registryValues.begin(), offer.m_registryValues.end(),
                           [this](const std::wstring& entry) { return AnyValueMatches(entry, false); })) {
        reason = "REGISTRY VALUE EXISTS";
    } else if (std::any_of(offer.m_registryValueData.begin(), offer.m_registryValueData.end(),
                           [this](const std::wstring& entry) { return AnyValueMatches(entry, true); })) {
        reason = "REGISTRY VALUE DATA MATCHES";
    }
    if (!reason) return false;
    RejectOffer(package, reason);
    return true;
}

bool OfferChecker::CheckFiles(const std::shared_ptr<Package>& package) {
    const auto exists = [this](const std::wstring& path) { return m_ports.files.PathExists(path); };
    const auto& mustNotExist = package->m_filesMustNotExist;
    const auto& oneMustExist = package->m_filesOneMustExist;
    if (std::any_of(mustNotExist.begin(), mustNotExist.end(), exists)) {
        RejectOffer(package, "FILE EXISTS");
        return true;
    }
    if (!oneMustExist.empty() && std::none_of(oneMustExist.begin(), oneMustExist.end(), exists)) {
        RejectOffer(package, "NONE OF THE FILES EXISTS");
        return true;
    }
    return false;
}

bool OfferChecker::CheckRunningApps(const std::shared_ptr<Package>& package) {
    if (package->m_runningApps.empty()) return false;
    if (m_processNames.empty()) {
        // An empty or failed listing is asked for again by the next offer that needs it.
        for (auto& name : m_ports.system.GetProcessImageNames().ValueOr({})) m_processNames.push_back(LowerCase(name));
    }
    for (const auto& narrowPattern : package->m_runningApps) {
        const std::wstring pattern = LowerCase(Utf8ToWide(narrowPattern));
        for (const auto& name : m_processNames) {
            if (ProcessMatches(name, pattern)) {
                RejectOffer(package, "APPLICATION RUNNING");
                return true;
            }
        }
    }
    return false;
}

bool OfferChecker::CheckInstalledApps(const std::shared_ptr<Package>& package) {
    for (const auto& name : package->m_iapp) {
        if (!m_registry.IsAppInstalled(name)) {
            RejectOffer(package, "REGISTRY INCLUDE APP NOT FOUND");
            return true;
        }
    }
    for (const auto& name : package->m_eapp) {
        if (m_registry.IsAppInstalled(name)) {
            RejectOffer(package, "REGISTRY EXCLUDE APP FOUND");
            return true;
        }
    }
    return false;
}

bool OfferChecker::CheckMinDaysSinceUninstall(const std::shared_ptr<Package>& package) {
    for (const auto& rule : package->m_minDaysRules) {
        std::wstring text;
        if (!m_registry.ReadText(LowerCase(rule.utr), LowerCase(rule.utk), LowerCase(rule.utvn), text)) continue;
        // Data that is no time does not apply.
        const auto stored = ParseDecimal64(text);
        if (!stored) continue;
        const std::uint64_t storedSeconds = rule.utms ? *stored / 1000 : *stored;
        const std::int64_t nowMs = m_ports.clock.UnixTimeMs();
        const std::uint64_t now = nowMs < 0 ? 0 : static_cast<std::uint64_t>(nowMs / 1000);
        if (now < KeptAwayUntil(storedSeconds, rule.umd)) {
            RejectOffer(package, "MIN DAYS UNINSTALL CHECKER");
            return true;
        }
    }
    return false;
}

bool OfferChecker::CheckBrowser(const std::shared_ptr<Package>& package) {
    const Package& offer = *package;
    if (!offer.m_requiresChrome && !offer.m_requiresNoChrome) return false;
    std::vector<std::wstring> paths;
    const PlaceholderTable folders = m_config.GetPathPlaceholders();
    for (const wchar_t* path : kBrowserPaths) paths.push_back(ExpandBracedPlaceholders(std::wstring(path), folders));
    std::wstring text;
    if (m_registry.ReadText(L"hkey_local_machine", L"SOFTWARE\\Microsoft\\Windows\\CurrentVersion\\App Paths\\chrome.exe",
                            L"Path", text)) {
        paths.push_back(text + L"\\chrome.exe");
    }
    if (m_registry.ReadText(L"hkey_current_user", L"SOFTWARE\\Google\\Chrome\\BLBeacon", L"Path", text)) {
        paths.push_back(text);
    }
    const bool found =
        std::any_of(paths.begin(), paths.end(), [this](const std::wstring& path) { return m_ports.files.PathExists(path); });
    if (offer.m_requiresChrome && !found) {
        RejectOffer(package, "NO CHROME");
        return true;
    }
    if (offer.m_requiresNoChrome && found) {
        RejectOffer(package, "HAVE CHROME");
        return true;
    }
    return false;
}

bool OfferChecker::CheckIeVersion(const std::shared_ptr<Package>& package) {
    if (!package->m_checkIeVersion) return false;
    std::wstring text;
    if (!m_registry.ReadText(L"hkey_local_machine", L"SOFTWARE\\Microsoft\\Internet Explorer", L"Version", text)) {
        return false;
    }
    // A version that does not begin with a number says nothing about the browser's age.
    const auto version = ParseLeadingFloat(text);
    if (!version || *version * 10.0f >= 90.0f) return false;
    RejectOffer(package, "OLD IE VERSION");
    return true;
}

bool OfferChecker::CheckPartnerMarker(const std::shared_ptr<Package>& package) {
    if (!package->m_pnEnabled) return false;
    const std::string& marker = package->m_pnRegistryValue;
    const auto slash = marker.rfind('\\');
    if (slash == std::string::npos) return false;
    std::wstring text;
    if (!m_registry.ReadText(L"hkey_local_machine", Utf8ToWide(marker.substr(0, slash)),
                             Utf8ToWide(marker.substr(slash + 1)), text)) {
        return false;
    }
    const auto now = m_ports.clock.LocalTime(static_cast<std::time_t>(m_ports.clock.UnixTimeMs() / 1000));
    if (!now) return false;
    if (DateDigits(*now) < text) {
        RejectOffer(package, "PN NO SHOW");
        return true;
    }
    return false;
}

}  // namespace tessary
