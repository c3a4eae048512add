#include "service_records.h"

#include <windows.h>
#include <winhttp.h>

#include <algorithm>
#include <sstream>

#include "driver/wizard_driver.h"
#include "platform/win32/winhttp_handle.h"

namespace tessary::e2e {
namespace {

// The body of GET https://localhost<path>, through the prefix's trust in the service's CA.
std::string HttpsGet(const std::wstring& path) {
    const win32::WinHttpHandle session(
        ::WinHttpOpen(L"tessary-e2e", WINHTTP_ACCESS_TYPE_NO_PROXY, WINHTTP_NO_PROXY_NAME, WINHTTP_NO_PROXY_BYPASS, 0));
    const win32::WinHttpHandle connection(
        session ? ::WinHttpConnect(session.Get(), L"localhost", INTERNET_DEFAULT_HTTPS_PORT, 0) : nullptr);
    const win32::WinHttpHandle request(
        connection ? ::WinHttpOpenRequest(connection.Get(), L"GET", path.c_str(), nullptr, WINHTTP_NO_REFERER,
                                          WINHTTP_DEFAULT_ACCEPT_TYPES, WINHTTP_FLAG_SECURE)
                   : nullptr);
    if (!request ||
        !::WinHttpSendRequest(request.Get(), WINHTTP_NO_ADDITIONAL_HEADERS, 0, WINHTTP_NO_REQUEST_DATA, 0, 0, 0) ||
        !::WinHttpReceiveResponse(request.Get(), nullptr)) {
        return {};
    }
    std::string body;
    char buffer[16384];
    DWORD read = 0;
    while (::WinHttpReadData(request.Get(), buffer, sizeof buffer, &read) && read > 0) body.append(buffer, read);
    return body;
}

// One line of the listing: received, code=, package=, signature, data, table=, status=, headers.
std::vector<std::string> Fields(const std::string& line) {
    std::vector<std::string> fields;
    std::istringstream in(line);
    for (std::string field; std::getline(in, field, '\t');) fields.push_back(field);
    return fields;
}

bool Contains(std::vector<std::string> have, const std::vector<std::string>& expected) {
    for (const auto& item : expected) {
        const auto found = std::find(have.begin(), have.end(), item);
        if (found == have.end()) return false;
        have.erase(found);
    }
    return true;
}

}  // namespace

bool RecordedEvent::IsMainProduct() const { return data.value("10", 0) == 1; }

std::string RecordedEvent::FailureText() const {
    const auto found = data.find("12");
    return found != data.end() && found->is_string() ? found->get<std::string>() : std::string();
}

std::string ServiceTimeNow() {
    SYSTEMTIME now{};
    ::GetSystemTime(&now);
    char text[32];
    std::snprintf(text, sizeof text, "%04u-%02u-%02uT%02u:%02u:%02u.%03uZ", now.wYear, now.wMonth, now.wDay, now.wHour,
                  now.wMinute, now.wSecond, now.wMilliseconds);
    return text;
}

std::vector<RecordedEvent> EventsSince(const std::string& since) {
    const std::string listing = HttpsGet(L"/records/events?since=" + std::wstring(since.begin(), since.end()));
    std::vector<RecordedEvent> events;
    std::istringstream lines(listing);
    for (std::string line; std::getline(lines, line);) {
        const auto fields = Fields(line);
        if (fields.size() < 7 || fields[6] != "status=200") continue;
        // Compact JSON holds no tab or line break of its own, so the listing left the data as sent.
        auto data = nlohmann::json::parse(fields[4], nullptr, false);
        if (data.is_discarded()) continue;
        events.push_back({fields[1].substr(5), fields[2].substr(8), std::move(data)});
    }
    return events;
}

std::vector<std::string> EventSummary(const std::vector<RecordedEvent>& events) {
    std::vector<std::string> summary;
    for (const auto& event : events)
        summary.push_back((event.IsMainProduct() ? "main" : event.package) + " " + event.code);
    return summary;
}

std::vector<std::string> FailureTexts(const std::vector<RecordedEvent>& events, const std::string& package,
                                      const std::string& code) {
    std::vector<std::string> texts;
    for (const auto& event : events) {
        const bool ofPackage =
            package == "main" ? event.IsMainProduct() : !event.IsMainProduct() && event.package == package;
        if (ofPackage && event.code == code) texts.push_back(event.FailureText());
    }
    return texts;
}

std::vector<std::string> WaitForEventSummary(const std::string& since, const std::vector<std::string>& expected,
                                             std::chrono::milliseconds timeout) {
    std::vector<std::string> summary;
    WaitUntil(
        [&] {
            summary = EventSummary(EventsSince(since));
            return Contains(summary, expected);
        },
        timeout);
    return summary;
}

}  // namespace tessary::e2e
