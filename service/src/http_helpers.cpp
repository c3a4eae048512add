#include "http_helpers.h"

#include <iostream>
#include <map>
#include <mutex>
#include <sstream>
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
    const auto hidden = [](const std::string& name) {
        return name == "REMOTE_ADDR" || name == "REMOTE_PORT" || name == "LOCAL_ADDR" || name == "LOCAL_PORT" ||
               name == kForwardedExpectHeader || name == kForwardedOrderHeader;
    };
    // The library keeps its headers sorted by name (ignoring case), each name's values in the order
    // they came; the front's list of names puts them back in the client's order.
    std::multimap<std::string, std::string, httplib::detail::ci> values;
    for (const auto& [name, value] : request.headers) {
        // The TLS front took the client's Expect header out and passed its value on under this name.
        if (name == kForwardedExpectHeader) {
            values.emplace("Expect", value);
        } else if (!hidden(name)) {
            values.emplace(name, value);
        }
    }
    auto headers = nlohmann::ordered_json::object();
    const auto add = [&headers](const std::string& name, const std::string& value) {
        auto& entry = headers[name];
        entry = entry.is_string() ? entry.get<std::string>() + ", " + value : value;
    };
    std::istringstream order(request.get_header_value(std::string(kForwardedOrderHeader)));
    for (std::string name; std::getline(order, name, ',');) {
        const auto found = values.find(name);
        if (found == values.end()) continue;
        add(name, found->second);
        values.erase(found);
    }
    for (const auto& [name, value] : values) add(name, value);
    // Whatever bytes a client sent, the record must still be written.
    return headers.dump(-1, ' ', false, nlohmann::json::error_handler_t::replace);
}

void LogLine(const std::string& text) {
    static std::mutex mutex;
    std::lock_guard lock(mutex);
    std::cerr << UtcTimestamp() << ' ' << text << std::endl;
}

}  // namespace tessary::service
