// The partner marker: a registry value that tells the partner's own installer when this machine
// was last offered its product.
#include <chrono>
#include <cstdint>
#include <exception>
#include <optional>

#include "config/package.h"
#include "encoding/text_conversion.h"
#include "platform/ports.h"
#include "platform/registry_port.h"
#include "platform/system_port.h"

namespace tessary {
namespace {

constexpr int kMarkerDays = 180;

// The local calendar date kMarkerDays after today as the number yyyymmdd. The days are added to
// the calendar date rather than to the clock, so a change of daylight saving time in between
// cannot shift the result by a day.
std::optional<std::uint32_t> MarkerDate() {
    auto& clock = platform::Clock();
    const auto today = clock.LocalTime(static_cast<std::time_t>(clock.UnixTimeMs() / 1000));
    if (!today) return std::nullopt;
    using namespace std::chrono;
    const year_month_day date{sys_days{year{today->tm_year + 1900} / month{static_cast<unsigned>(today->tm_mon + 1)} /
                                       day{static_cast<unsigned>(today->tm_mday)}} +
                              days{kMarkerDays}};
    return static_cast<std::uint32_t>(static_cast<int>(date.year()) * 10000 +
                                      static_cast<int>(static_cast<unsigned>(date.month())) * 100 +
                                      static_cast<int>(static_cast<unsigned>(date.day())));
}

}  // namespace

bool Package::WritePnMarker() const {
    const auto slash = m_pnRegistryValue.rfind('\\');
    if (slash == std::string::npos || slash == 0) return false;
    const auto date = MarkerDate();
    if (!date) return false;
    // Where the shipped program keeps it, so the offer checks of every build find it; a system
    // that cannot tell its width counts as 32-bit Windows, as it does for those checks.
    const auto view = platform::ShippedProgramDefaultView(platform::System().IsWindows64Bit().ValueOr(false));
    try {
        return platform::Registry()
            .WriteDword(platform::RegistryRoot::LocalMachine, Utf8ToWide(m_pnRegistryValue.substr(0, slash)), view,
                        Utf8ToWide(m_pnRegistryValue.substr(slash + 1)), *date)
            .Ok();
    } catch (const std::exception&) {
        return false;  // a path that is not text cannot name a key
    }
}

}  // namespace tessary
