#pragma once
// Work whose result the interface thread polls for, on a thread nobody waits for: unlike the
// future of std::async, dropping this future never blocks, so closing the wizard does not wait
// for a transfer or an installer.
#include <exception>
#include <future>
#include <memory>
#include <stdexcept>
#include <type_traits>
#include <utility>

#include "platform/detached_thread.h"

namespace tessary::platform {

namespace detail {

template <class Work, class NoThread>
std::future<std::invoke_result_t<Work&>> StartDetachedTask(Work work, NoThread noThread) {
    using Value = std::invoke_result_t<Work&>;
    auto promise = std::make_shared<std::promise<Value>>();
    std::future<Value> future = promise->get_future();
    const bool started = StartDetachedThread([promise, work = std::move(work)]() mutable {
        try {
            if constexpr (std::is_void_v<Value>) {
                work();
                promise->set_value();
            } else {
                promise->set_value(work());
            }
        } catch (...) {
            promise->set_exception(std::current_exception());
        }
    });
    if (!started) noThread(*promise);
    return future;
}

}  // namespace detail

// Runs work on a detached thread. The future carries its value or its exception; when no thread
// can be started, it is ready at once with a std::runtime_error.
template <class Work>
std::future<std::invoke_result_t<Work&>> StartDetachedTask(Work work) {
    return detail::StartDetachedTask(std::move(work), [](auto& promise) {
        promise.set_exception(std::make_exception_ptr(std::runtime_error("no thread could be started")));
    });
}

// The same for a caller that has a value for the case: when no thread can be started, the future
// is ready at once with withoutThread.
template <class Work>
std::future<std::invoke_result_t<Work&>> StartDetachedTask(Work work, std::invoke_result_t<Work&> withoutThread) {
    return detail::StartDetachedTask(std::move(work),
                                     [&withoutThread](auto& promise) { promise.set_value(std::move(withoutThread)); });
}

}  // namespace tessary::platform
