#pragma once
// How long ago a transfer last made progress, without a clock read or a lock for each piece of a
// body: the transferring thread only counts, and the thread that watches it reads the clock when
// it looks.
#include <atomic>
#include <chrono>
#include <cstdint>

namespace tessary::platform {

class ProgressCount {
public:
    void Mark() { m_count.fetch_add(1, std::memory_order_relaxed); }
    std::uint32_t Read() const { return m_count.load(std::memory_order_relaxed); }

private:
    std::atomic<std::uint32_t> m_count{0};
};

// The watcher's side: progress counts as made at the first look that finds the count moved, so it
// is seen as late as the watcher's look interval at most.
class ProgressLook {
public:
    using Clock = std::chrono::steady_clock;

    explicit ProgressLook(const ProgressCount& count, Clock::time_point start = Clock::now())
        : m_count(count), m_seen(count.Read()), m_lastProgress(start) {}

    // How long no progress was seen, as of now.
    Clock::duration SinceProgress(Clock::time_point now) {
        if (const std::uint32_t count = m_count.Read(); count != m_seen) {
            m_seen = count;
            m_lastProgress = now;
        }
        return now - m_lastProgress;
    }

private:
    const ProgressCount& m_count;
    std::uint32_t m_seen;
    Clock::time_point m_lastProgress;
};

}  // namespace tessary::platform
