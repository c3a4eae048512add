#pragma once
#include <optional>
#include <string>
#include <utility>
#include <vector>

#include "platform/result.h"

namespace tessary::platform {

using HeaderList = std::vector<std::pair<std::wstring, std::wstring>>;

struct UrlParts {
    std::wstring scheme;
    std::wstring host;
    unsigned port = 0;
    std::wstring path;
    std::wstring extra;  // query and fragment
};

struct HttpAnswer {
    unsigned long status = 0;  // the HTTP status code
    // The thread's last system error once the answer had been read. A refused configuration
    // request reports it with the HTTP status.
    Status lastError = kSuccess;
};

class HttpPort {
public:
    virtual ~HttpPort() = default;
    // Splits a URL the way the system's HTTP client does.
    virtual Result<UrlParts> CrackUrl(const std::wstring& url) const = 0;
    // POSTs body over TLS to host:443/path with the headers, appends the answer to response.
    // Succeeds when a response arrived, whatever its HTTP status; fails with the status of the
    // step that could not be made.
    virtual Result<HttpAnswer> HttpsPost(const std::wstring& host, const std::wstring& path, const std::string& body,
                                         HeaderList headers, std::string& response) = 0;
};

}  // namespace tessary::platform
