#pragma once
// A transfer attempt runs on a thread of its own while the caller watches it: a confirmed exit or
// a server that sends nothing for too long ends the wait at once, whatever call the attempt is
// blocked in. The abandoned attempt is told to stop and finishes by itself; everything it uses is
// shared with it, so nothing it touches goes away under it.
#include <atomic>
#include <chrono>
#include <functional>
#include <memory>

namespace tessary {

class AttemptControl {
public:
    // Set when the caller gave the attempt up; the attempt stops at its next look.
    const std::atomic<bool>& StopFlag() const { return m_stop; }
    // Something arrived: the no-progress limit counts again from now.
    void Progress() { m_lastProgress = Now(); }

private:
    friend class WatchedAttempt;
    static std::int64_t Now() {
        return std::chrono::duration_cast<std::chrono::milliseconds>(
                   std::chrono::steady_clock::now().time_since_epoch())
            .count();
    }
    std::atomic<bool> m_stop{false};
    std::atomic<std::int64_t> m_lastProgress{Now()};
};

enum class AttemptEnd {
    Finished,
    Cancelled,
    Stalled,
    NotStarted,  // no thread could be started; the work did not run
};

class WatchedAttempt {
public:
    // Runs work on a new thread and waits until it returns, cancel is set or nothing arrived for
    // noProgressLimitMs; a stopped attempt gets half a second to finish. work must keep what it
    // uses alive by itself (shared pointers, copies).
    static AttemptEnd Run(std::function<void(AttemptControl&)> work, const std::atomic<bool>& cancel,
                          unsigned noProgressLimitMs);
};

}  // namespace tessary
