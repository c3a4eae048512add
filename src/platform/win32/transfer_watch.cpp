#include "platform/win32/transfer_watch.h"

#include "platform/transfer_port.h"

namespace tessary::win32 {
namespace {

constexpr std::chrono::milliseconds kCheckEvery{100};
// Wine's WinHTTP reports an expired receive time-out with the socket's code instead of its own.
constexpr platform::Status kSocketTimedOut = 10060;  // WSAETIMEDOUT

}  // namespace

TransferWatch::TransferWatch(std::function<bool()> cancelled, unsigned noProgressLimitMs)
    : m_cancelled(std::move(cancelled)), m_limit(noProgressLimitMs), m_thread([this] { Watch(); }) {}

TransferWatch::~TransferWatch() {
    {
        const std::lock_guard lock(m_mutex);
        m_stopping = true;
    }
    m_wake.notify_all();
    m_thread.join();
    const std::lock_guard lock(m_mutex);
    CloseAll();
}

void* TransferWatch::Own(void* handle, CloseFunction close) {
    if (!handle) return nullptr;
    const std::lock_guard lock(m_mutex);
    if (m_reason != Reason::None) {
        // Too late: the transfer is over, and the call that made the handle must not go on.
        close(handle);
        return nullptr;
    }
    try {
        m_handles.emplace_back(handle, close);
    } catch (...) {
        close(handle);  // not kept, so not left open either
        throw;
    }
    return handle;
}

platform::Status TransferWatch::Explain(platform::Status status) const {
    const std::lock_guard lock(m_mutex);
    switch (m_reason) {
        case Reason::Cancelled:
            return platform::kTransferCancelled;
        case Reason::Stalled:
            return platform::kTransferStalled;
        case Reason::None:
            break;
    }
    return status == kSocketTimedOut ? platform::kTransferTimedOut : status;
}

void TransferWatch::Watch() {
    platform::ProgressLook progress(m_progress);
    std::unique_lock lock(m_mutex);
    while (!m_stopping && m_reason == Reason::None) {
        m_wake.wait_for(lock, kCheckEvery);
        if (m_stopping) return;
        lock.unlock();
        const bool cancelled = m_cancelled && m_cancelled();
        const bool stalled = progress.SinceProgress(std::chrono::steady_clock::now()) > m_limit;
        lock.lock();
        if (cancelled) {
            m_reason = Reason::Cancelled;
        } else if (stalled) {
            m_reason = Reason::Stalled;
        }
        // Closing ends the call the owner is blocked in; the owner then finds no handle to close.
        if (m_reason != Reason::None) CloseAll();
    }
}

void TransferWatch::CloseAll() {
    while (!m_handles.empty()) {
        const auto [handle, close] = m_handles.back();
        m_handles.pop_back();
        close(handle);
    }
}

}  // namespace tessary::win32
