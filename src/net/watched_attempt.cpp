#include "net/watched_attempt.h"

#include <chrono>
#include <condition_variable>
#include <mutex>
#include <thread>

#include "platform/diagnostics.h"

namespace tessary {
namespace {

constexpr std::chrono::milliseconds kLookEvery{100};

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
    std::thread worker([shared, work = std::move(work)] {
        try {
            work(shared->control);
        } catch (...) {
            platform::ReportCurrentException("download attempt");
        }
        const std::lock_guard lock(shared->mutex);
        shared->done = true;
        shared->finished.notify_all();
    });

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
    }
    if (end == AttemptEnd::Finished) {
        worker.join();
    } else {
        worker.detach();
    }
    return end;
}

}  // namespace tessary
