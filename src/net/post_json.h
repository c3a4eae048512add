#pragma once
#include <string>

#include "platform/http_port.h"

namespace tessary {

// POSTs a JSON text to url over TLS on port 443 and appends the answer's body to response.
// The URL's query, fragment, scheme and port are not used. Returns the answer once one arrived,
// whatever its status (callers judge the status); throws TessaryException when nothing could be
// sent or received.
platform::HttpAnswer PostJson(const std::wstring& url, const std::string& body, const platform::HeaderList& headers,
                              std::string& response);
// The same, for callers that only look at the HTTP status. True whenever it returns: an answer
// arrived, an error status too; a failed exchange throws as above.
bool PostJson(const std::wstring& url, const std::string& body, const platform::HeaderList& headers,
              std::string& response, unsigned long& status);

}  // namespace tessary
