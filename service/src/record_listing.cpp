#include "record_listing.h"

#include <string>

namespace tessary::service {
namespace {

// A tab or line break inside a field would split it; they are written as escapes instead.
std::string OneLine(const std::string& text) {
    std::string line;
    for (const char c : text) {
        if (c == '\t') {
            line += "\\t";
        } else if (c == '\n') {
            line += "\\n";
        } else if (c == '\r') {
            line += "\\r";
        } else {
            line += c;
        }
    }
    return line;
}

}  // namespace

void PrintEvents(const std::vector<EventRecord>& events, std::ostream& out) {
    for (const auto& event : events) {
        out << event.received << "\tcode=" << OneLine(event.code) << "\tpackage=" << OneLine(event.package) << '\t'
            << OneLine(event.authorization) << '\t' << OneLine(event.data) << "\ttable=" << OneLine(event.table)
            << "\tstatus=" << event.status << '\t' << OneLine(event.headers) << '\n';
    }
}

void PrintConfigRequests(const std::vector<ConfigRequestRecord>& requests, std::ostream& out) {
    for (const auto& request : requests) {
        out << request.received << "\tstatus=" << request.status << "\tdocument=" << OneLine(request.document)
            << '\t' << OneLine(request.headers) << '\t' << OneLine(request.body) << '\n';
    }
}

}  // namespace tessary::service
