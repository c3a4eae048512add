#pragma once
#include <cstdint>
#include <ctime>

#include "platform/result.h"

namespace tessary::platform {

class ClockPort {
public:
    virtual ~ClockPort() = default;
    // Milliseconds since 1 January 1970, UTC.
    virtual std::int64_t UnixTimeMs() const = 0;
    // Broken-down local time of a point in seconds since 1970.
    virtual Result<std::tm> LocalTime(std::time_t seconds) const = 0;
    // Every pause of the program goes through here, so tests never wait for real.
    virtual void SleepMs(unsigned milliseconds) = 0;
};

}  // namespace tessary::platform
