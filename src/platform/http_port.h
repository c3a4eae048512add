#pragma once
#include <optional>
#include <string>
#include <utility>
#include <vector>

namespace tessary::platform {

using HeaderList = std::vector<std::pair<std::wstring, std::wstring>>;

struct UrlParts {
    std::wstring scheme;
    std::wstring host;
    unsigned port = 0;
    std::wstring path;
    std::wstring extra;  // query and fragment
};

class HttpPort {
public:
    virtual ~HttpPort() = default;
    // Splits a URL the way the system's HTTP client does; nullopt when it cannot.
    virtual std::optional<UrlParts> CrackUrl(const std::wstring& url) const = 0;
    // POSTs body over TLS to host:443/path with the headers, appends the answer to response.
    // True when a response arrived, whatever its status.
    virtual bool HttpsPost(const std::wstring& host, const std::wstring& path, const std::string& body,
                           HeaderList headers, std::string& response, unsigned long& status) = 0;
    // The system error code of the calling thread's last failure.
    virtual unsigned long LastError() const = 0;
};

}  // namespace tessary::platform
