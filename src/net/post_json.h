#pragma once
#include <string>

#include "platform/http_port.h"

namespace tessary {

// POSTs a JSON text to url over TLS on port 443 and appends the answer's body to response.
// The URL's query, fragment, scheme and port are not used. Returns true once an answer arrived,
// whatever its status (callers judge the status); throws TessaryException when nothing could be
// sent or received.
bool PostJson(const std::wstring& url, const std::string& body, const platform::HeaderList& headers,
              std::string& response, unsigned long& status);

}  // namespace tessary
