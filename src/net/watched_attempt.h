#pragma once
// A transfer attempt runs on a thread of its own while the caller watches it: a confirmed exit or
// a server that sends nothing for too long ends the wait at once, whatever call the attempt is
// blocked in. The abandoned attempt is told to stop and finishes by itself; everything it uses is
// shared with it, so nothing it touches goes away under it.
#include <atomic>
#include <functional>
#include <memory>

#include "platform/progress_count.h"

namespace tessary {

class AttemptControl {
public:
    // Set when the caller gave the attempt up; the attempt stops at its next look.
    const std::atomic<bool>& StopFlag() const { return m_stop; }
    // Something arrived: the no-progress limit counts again from the caller's next look. Called for
    // every piece of a body, so it only counts; the caller reads the clock.
    void Progress() { m_progress.Mark(); }

private:
    friend class WatchedAttempt;
    std::atomic<bool> m_stop{false};
    platform::ProgressCount m_progress;
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
