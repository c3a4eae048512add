// Detached threads of the native builds (the tests and the fuzz targets).
#include <memory>
#include <thread>

#include "platform/detached_thread.h"
#include "platform/diagnostics.h"

namespace tessary::platform {

bool StartDetachedThread(std::function<void()> work) noexcept {
    try {
        auto job = std::make_shared<std::function<void()>>(std::move(work));
        std::thread([job]() noexcept {
            try {
                (*job)();
            } catch (...) {
                ReportCurrentException("detached thread");
            }
        }).detach();
        return true;
    } catch (...) {
        return false;
    }
}

}  // namespace tessary::platform
