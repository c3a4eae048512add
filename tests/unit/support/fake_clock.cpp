#include "fake_clock.h"

namespace tessary::testing {

std::int64_t FakeClock::UnixTimeMs() const {
    std::lock_guard lock(m_mutex);
    return nowMs + (advanceOnRead ? ++m_drift : m_drift);
}

platform::Result<std::tm> FakeClock::LocalTime(std::time_t seconds) const {
    if (localTimeFails) return platform::Failure{87};
    const std::time_t shifted = seconds + utcOffsetSeconds;
    std::tm out{};
#ifdef _WIN32
    if (gmtime_s(&out, &shifted) != 0) return platform::Failure{87};
#else
    if (gmtime_r(&shifted, &out) == nullptr) return platform::Failure{87};
#endif
    return out;
}

void FakeClock::SleepMs(unsigned milliseconds) {
    {
        std::lock_guard lock(m_mutex);
        m_sleeps.push_back(milliseconds);
        m_drift += milliseconds;
    }
    if (onSleep) onSleep(milliseconds);
}

std::vector<unsigned> FakeClock::Sleeps() const {
    std::lock_guard lock(m_mutex);
    return m_sleeps;
}

void FakeClock::Advance(std::int64_t ms) {
    std::lock_guard lock(m_mutex);
    m_drift += ms;
}

}  // namespace tessary::testing
