#pragma once
// Both HTTP stacks are used synchronously, so a call can block for as long as a server keeps
// still. The watch owns a transfer's handles and closes them from its own thread when the user
// confirmed exit or when no byte arrived for too long: closing is how both stacks end a blocked
// call. It names the reason afterwards, since the blocked call fails with a code of its own.
#include <chrono>
#include <condition_variable>
#include <functional>
#include <mutex>
#include <thread>
#include <vector>

#include "platform/progress_count.h"
#include "platform/result.h"

namespace tessary::win32 {

class TransferWatch {
public:
    // Both stacks' handles are untyped pointers.
    using CloseFunction = void (*)(void*);

    TransferWatch(std::function<bool()> cancelled, unsigned noProgressLimitMs);
    ~TransferWatch();  // closes the handles it owns, the last one first
    TransferWatch(const TransferWatch&) = delete;
    TransferWatch& operator=(const TransferWatch&) = delete;

    // Takes a handle; null is ignored. Returns it for use.
    void* Own(void* handle, CloseFunction close);
    // A byte arrived: the no-progress limit counts again from the watch's next look. Called for
    // every piece of a body, so it only counts; the watch reads the clock.
    void Progress() { m_progress.Mark(); }
    // The status a failed call is reported with: the watch's reason when it closed the handles.
    platform::Status Explain(platform::Status status) const;

private:
    enum class Reason { None, Cancelled, Stalled };
    void Watch();
    void CloseAll();  // with m_mutex held

    std::function<bool()> m_cancelled;
    std::chrono::milliseconds m_limit;
    mutable std::mutex m_mutex;
    std::condition_variable m_wake;
    platform::ProgressCount m_progress;
    std::vector<std::pair<void*, CloseFunction>> m_handles;
    Reason m_reason = Reason::None;
    bool m_stopping = false;
    std::thread m_thread;  // last: starts once everything above is ready
};

}  // namespace tessary::win32
