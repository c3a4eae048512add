#pragma once
#include <cstdint>
#include <ctime>
#include <functional>
#include <mutex>
#include <vector>

#include "platform/clock_port.h"

namespace tessary::testing {

class FakeClock : public platform::ClockPort {
public:
    std::int64_t UnixTimeMs() const override;
    platform::Result<std::tm> LocalTime(std::time_t seconds) const override;
    void SleepMs(unsigned milliseconds) override;

    std::vector<unsigned> Sleeps() const;
    void Advance(std::int64_t ms);

    std::int64_t nowMs = 1'765'267'200'000;  // 2025-12-09 08:00:00 UTC
    int utcOffsetSeconds = 0;
    bool localTimeFails = false;
    bool advanceOnRead = false;  // each read moves time on by one millisecond
    std::function<void(unsigned)> onSleep;  // runs after each recorded sleep, outside the lock

private:
    mutable std::mutex m_mutex;
    mutable std::int64_t m_drift = 0;
    std::vector<unsigned> m_sleeps;
};

}  // namespace tessary::testing
