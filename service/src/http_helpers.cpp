#include "http_helpers.h"

#include <iostream>
#include <mutex>
#include <nlohmann/json.hpp>

#include "file_utils.h"
#include "request_stream_filter.h"

namespace tessary::service {

void Refuse(const httplib::Request& request, httplib::Response& response, const std::string& reason) {
    LogLine("refused " + request.method + " " + request.path + ": " + reason);
    response.status = 400;
    response.set_content(reason + "\n", "text/plain");
}

std::string HeadersJson(const httplib::Request& request) {
    auto headers = nlohmann::json::object();
    for (const auto& [name, value] : request.headers) {
        if (name == "REMOTE_ADDR" || name == "REMOTE_PORT" || name == "LOCAL_ADDR" || name == "LOCAL_PORT") continue;
        // The TLS front took the client's Expect header out and passed its value on under this name.
        auto& entry = headers[name == kForwardedExpectHeader ? std::string("Expect") : name];
        entry = entry.is_string() ? entry.get<std::string>() + ", " + value : value;
    }
    // Whatever bytes a client sent, the record must still be written.
    return headers.dump(-1, ' ', false, nlohmann::json::error_handler_t::replace);
}

void LogLine(const std::string& text) {
    static std::mutex mutex;
    std::lock_guard lock(mutex);
    std::cerr << UtcTimestamp() << ' ' << text << std::endl;
}

}  // namespace tessary::service
