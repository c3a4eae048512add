// Detached threads of the Windows builds, started with the system's own call.
#include <windows.h>

#include <memory>

#include "platform/detached_thread.h"
#include "platform/diagnostics.h"
#include "platform/win32/handles.h"

namespace tessary::platform {
namespace {

DWORD WINAPI RunDetached(void* parameter) {
    const std::unique_ptr<std::function<void()>> work(static_cast<std::function<void()>*>(parameter));
    try {
        (*work)();
    } catch (...) {
        ReportCurrentException("detached thread");
    }
    return 0;
}

}  // namespace

bool StartDetachedThread(std::function<void()> work) noexcept {
    std::unique_ptr<std::function<void()>> job;
    try {
        job = std::make_unique<std::function<void()>>(std::move(work));
    } catch (...) {
        return false;
    }
    const win32::KernelHandle thread(::CreateThread(nullptr, 0, RunDetached, job.get(), 0, nullptr));
    if (!thread) {
        ReportFailure("CreateThread", ::GetLastError());
        return false;
    }
    job.release();  // the thread owns it now
    return true;
}

}  // namespace tessary::platform
