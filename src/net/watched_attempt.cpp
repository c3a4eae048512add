#include "net/watched_attempt.h"

#include <chrono>
#include <condition_variable>
#include <mutex>

#include "platform/detached_thread.h"
#include "platform/diagnostics.h"

namespace tessary {
namespace {

constexpr std::chrono::milliseconds kLookEvery{100};
// How long an attempt that was told to stop gets to finish before the caller goes on without it:
// mostly it ends at once, and then it has removed its own file before the next attempt begins.
// Short enough that a confirmed exit still ends a transfer within a second.
constexpr std::chrono::milliseconds kStopGrace{500};

struct Shared {
    AttemptControl control;
    std::mutex mutex;
    std::condition_variable finished;
    bool done = false;
};

}  // namespace

AttemptEnd WatchedAttempt::Run(std::function<void(AttemptControl&)> work, const std::atomic<bool>& cancel,
                               unsigned noProgressLimitMs) {
    auto shared = std::make_shared<Shared>();
    // Nobody joins the thread: the caller waits for its flag, and an attempt it gave up on ends by
    // itself, holding only what it shares with this function.
    const bool started = platform::StartDetachedThread([shared, work = std::move(work)] {
        try {
            work(shared->control);
        } catch (...) {
            platform::ReportCurrentException("download attempt");
        }
        const std::lock_guard lock(shared->mutex);
        shared->done = true;
        shared->finished.notify_all();
    });
    if (!started) return AttemptEnd::NotStarted;

    AttemptEnd end = AttemptEnd::Finished;
    {
        platform::ProgressLook progress(shared->control.m_progress);
        const std::chrono::milliseconds limit(noProgressLimitMs);
        std::unique_lock lock(shared->mutex);
        while (!shared->finished.wait_for(lock, kLookEvery, [&] { return shared->done; })) {
            if (cancel) {
                end = AttemptEnd::Cancelled;
            } else if (progress.SinceProgress(std::chrono::steady_clock::now()) > limit) {
                end = AttemptEnd::Stalled;
            } else {
                continue;
            }
            shared->control.m_stop = true;
            break;
        }
        if (end != AttemptEnd::Finished) shared->finished.wait_for(lock, kStopGrace, [&] { return shared->done; });
    }
    return end;
}

}  // namespace tessary
