// The offer's demands on the machine: free disk space, memory, processor speed, Windows version,
// this program's version and 64-bit Windows. The three measured facts are read once per
// evaluation; a failed read is tried again for the next offer that needs it.
#include <string>
#include <string_view>
#include <vector>

#include "config/configuration_manager.h"
#include "config/package.h"
#include "encoding/number_text.h"
#include "encoding/text_conversion.h"
#include "offers/offer_checker.h"
#include "platform/file_system_port.h"
#include "platform/registry_port.h"
#include "platform/system_port.h"

namespace tessary {
namespace {

constexpr unsigned kMegabyteShift = 20;

struct WindowsVersion {
    int code;
    unsigned major;
    unsigned minor;
};
constexpr WindowsVersion kWindowsVersions[] = {{61, 6, 1}, {62, 6, 2}, {63, 6, 3}, {100, 10, 0}};

// A dotted version as numbers: empty pieces are skipped, each piece counts by its leading digits.
std::vector<int> VersionNumbers(std::wstring_view text) {
    std::vector<int> numbers;
    while (!text.empty()) {
        const auto dot = text.find(L'.');
        const auto piece = text.substr(0, dot);
        if (!piece.empty()) numbers.push_back(LeadingDigitsOrZero(piece));
        if (dot == std::wstring_view::npos) break;
        text.remove_prefix(dot + 1);
    }
    return numbers;
}

}  // namespace

bool OfferChecker::CheckDiskSpace(const std::shared_ptr<Package>& package) {
    const auto required = static_cast<std::uint64_t>(package->m_diskRequirement);
    if (required == 0) return false;
    if (!m_freeDiskKnown) {
        // The folder itself, not its drive letter: a Desktop on a network share has no drive.
        const std::wstring desktop = m_ports.files.GetKnownFolder(platform::KnownFolder::Desktop).ValueOr(L"");
        const auto free = m_ports.files.GetFreeBytesAvailable(desktop);
        if (!free) {
            RejectOffer(package, "DISK SPACE CHECK FAILED " + std::to_string(free.GetStatus()));
            return true;
        }
        m_freeDiskMb = *free >> kMegabyteShift;
        m_freeDiskKnown = true;
    }
    if (m_freeDiskMb >= required) return false;
    RejectOffer(package, "NOT ENOUGH DISK SPACE");
    return true;
}

bool OfferChecker::CheckMemory(const std::shared_ptr<Package>& package) {
    const auto required = static_cast<std::uint64_t>(package->m_ramRequirement);
    if (required == 0) return false;
    if (!m_totalRamKnown) {
        const auto total = m_ports.system.GetTotalPhysicalMemory();
        if (!total) {
            RejectOffer(package, "RAM CHECK FAILED " + std::to_string(total.GetStatus()));
            return true;
        }
        m_totalRamMb = *total >> kMegabyteShift;
        m_totalRamKnown = true;
    }
    if (m_totalRamMb >= required) return false;
    RejectOffer(package, "NOT ENOUGH RAM");
    return true;
}

bool OfferChecker::CheckProcessorSpeed(const std::shared_ptr<Package>& package) {
    const auto required = static_cast<std::uint64_t>(package->m_cpuRequirement);
    if (required == 0) return false;
    if (!m_cpuMhzKnown) {
        const platform::ProcessorSpeed speed = m_ports.registry.ReadProcessorSpeed();
        if (!speed.keyOpened) {
            RejectOffer(package, "CPU CHECK FAILED: Couldn't open registry");
            return true;
        }
        if (!speed.mhz) {
            RejectOffer(package, "CPU CHECK FAILED: Couldn't read value");
            return true;
        }
        m_cpuMhz = *speed.mhz;
        m_cpuMhzKnown = true;
    }
    if (m_cpuMhz >= required) return false;
    RejectOffer(package, "NOT ENOUGH CPU");
    return true;
}

bool OfferChecker::CheckOsVersion(const std::shared_ptr<Package>& package) {
    const int code = package->m_osRequirement;
    if (code <= 0) return false;
    for (const auto& version : kWindowsVersions) {
        if (version.code == code && m_ports.system.IsVersionAtLeast(version.major, version.minor, 0)) return false;
    }
    RejectOffer(package, "UNSUPPORTED OS VERSION");
    return true;
}

bool OfferChecker::CheckPlatformVersion(const std::shared_ptr<Package>& package) {
    if (package->m_platformRequirement.empty()) return false;
    const std::vector<int> required = VersionNumbers(Utf8ToWide(package->m_platformRequirement));
    const std::vector<int> own = VersionNumbers(m_config.m_version);
    for (std::size_t i = 0; i < required.size() && i < own.size(); ++i) {
        if (required[i] > own[i]) {
            RejectOffer(package, "UNSUPPORTED PLATFORM VERSION");
            return true;
        }
        if (required[i] < own[i]) return false;
    }
    return false;
}

bool OfferChecker::Check64BitOs(const std::shared_ptr<Package>& package) {
    if (!package->m_requires64Bit || m_registry.Machine().wow64) return false;
    RejectOffer(package, "64 BIT OS REQUIRED");
    return true;
}

}  // namespace tessary
