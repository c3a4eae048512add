#pragma once
// Threads that nobody waits for: event reports and in-memory downloads. Each build supplies its
// own way of starting one; under Wine, a thread started and detached through the C++ library was
// seen never to run its work now and then, so the Windows builds start theirs with the system.
#include <functional>

namespace tessary::platform {

// Runs work on a thread of its own. False when no thread could be started; work has not run then
// and never will. What escapes work is reported and ends nothing.
[[nodiscard]] bool StartDetachedThread(std::function<void()> work) noexcept;

}  // namespace tessary::platform
