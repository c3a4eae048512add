// Event reporting of a Package: each report is merged into the package's event template and
// POSTed, signed, on a detached thread of its own.
#include <algorithm>
#include <array>
#include <condition_variable>
#include <mutex>

#include "config/configuration_manager.h"
#include "config/package.h"
#include "net/post_json.h"
#include "platform/detached_thread.h"
#include "platform/ports.h"

namespace tessary {
namespace {

using json = nlohmann::json;

constexpr std::array kTerminalCodes = {-1, 2, 3, 4, 5};
constexpr int kAttempts = 2;
constexpr unsigned kRetryPauseMs = 5000;

bool IsTerminal(int code) {
    return std::find(kTerminalCodes.begin(), kTerminalCodes.end(), code) != kTerminalCodes.end();
}

bool IsSuccess(unsigned long status) { return status >= 200 && status <= 399; }

// The reports in flight of every package, passed over and refused offers included, for the
// wizard's end. Never destroyed: report threads may outlive everything else.
struct ReportsInFlight {
    std::mutex mutex;
    std::condition_variable idle;
    int count = 0;
};

ReportsInFlight& AllReports() {
    static auto* const reports = new ReportsInFlight;
    return *reports;
}

// Text that is not UTF-8 (a system message in the ANSI code page, say) is replaced rather than
// refused, so no event is lost for its encoding.
std::string Compact(const json& value) { return value.dump(-1, ' ', false, json::error_handler_t::replace); }

}  // namespace

void Package::ReportEvent(int code, const json& extra) {
    if (m_eventsStopped) return;
    // The thread owns the package until it ends, so a package dropped by everyone else while a
    // report is in flight is destroyed only afterwards.
    std::shared_ptr<Package> self = shared_from_this();
    {
        std::lock_guard lock(m_eventMutex);
        ++m_pendingEvents;
    }
    {
        std::lock_guard lock(AllReports().mutex);
        ++AllReports().count;
    }
    // No thread to be had, no memory for the copy of the extra fields: either way the event is
    // lost like any other that fails, and the count must come down again, or the close path
    // would wait for it forever.
    bool started = false;
    try {
        started = platform::StartDetachedThread([self, code, extra] { self->SendEvent(code, extra); });
    } catch (...) {
    }
    if (!started) FinishEvent();
}

void Package::WaitForPendingEvents() {
    std::unique_lock lock(m_eventMutex);
    m_eventsIdle.wait(lock, [this] { return m_pendingEvents == 0; });
}

bool Package::WaitForAllPendingEvents(std::chrono::steady_clock::time_point until) {
    auto& all = AllReports();
    std::unique_lock lock(all.mutex);
    return all.idle.wait_until(lock, until, [&all] { return all.count == 0; });
}

void Package::SendEvent(int code, const json& extra) {
    try {
        json event;
        platform::HeaderList headers;
        bool isSigned = false;
        {
            std::lock_guard lock(m_eventMutex);
            event = m_eventTemplate;
            headers = m_request.Headers();
            isSigned = m_request.IsSigned();
        }
        // Without its signature the service would refuse the event; it is dropped here instead.
        if (!isSigned) {
            FinishEvent();
            return;
        }
        event["6"] = std::to_string(code);
        if (extra.is_object()) {
            for (const auto& [key, value] : extra.items()) {
                if (event.contains(key)) event[key] = value;
            }
        }
        const std::string body = Compact(json{{"data", Compact(event)}, {"table", "zb_analytics"}});
        const std::wstring url = ConfigurationManager::GetInstance()->m_eventsUrl;
        for (int attempt = 1; attempt <= kAttempts; ++attempt) {
            std::string response;
            unsigned long status = 0;
            PostJson(url, body, headers, response, status);
            if (IsSuccess(status)) {
                // Once stopped, a package stays stopped: a later delivery of a non-terminal
                // event must not switch reporting back on.
                if (IsTerminal(code)) m_eventsStopped = true;
                break;
            }
            if (attempt < kAttempts) platform::Clock().SleepMs(kRetryPauseMs);
        }
    } catch (...) {
        // The event is lost; nothing is kept for a later attempt.
    }
    FinishEvent();
}

void Package::FinishEvent() {
    {
        std::lock_guard lock(m_eventMutex);
        if (--m_pendingEvents == 0) m_eventsIdle.notify_all();
    }
    auto& all = AllReports();
    std::lock_guard lock(all.mutex);
    if (--all.count == 0) all.idle.notify_all();
}

}  // namespace tessary
