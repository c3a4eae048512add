#include "net/post_json.h"

#include "net/tessary_exception.h"
#include "platform/ports.h"

namespace tessary {
namespace {

// Windows 7 without its first service pack cannot speak the TLS versions the service requires.
bool LacksModernTls() {
    auto& system = platform::System();
    return system.IsVersionAtLeast(6, 1, 0) && !system.IsVersionAtLeast(6, 1, 1);
}

}  // namespace

platform::HttpAnswer PostJson(const std::wstring& url, const std::string& body, const platform::HeaderList& headers,
                              std::string& response) {
    if (LacksModernTls()) throw TessaryException("Windows 7 needs Service Pack 1 to reach the service");
    auto& http = platform::Http();
    const auto parts = http.CrackUrl(url);
    if (!parts) throw TessaryException("Cannot split the service URL", platform::Failure{parts.GetStatus()});
    auto answer = http.HttpsPost(parts->host, parts->path, body, headers, response);
    if (!answer) throw TessaryException("The request to the service failed", platform::Failure{answer.GetStatus()});
    return *answer;
}

bool PostJson(const std::wstring& url, const std::string& body, const platform::HeaderList& headers,
              std::string& response, unsigned long& status) {
    // Every exchange that could not be made has thrown by now: an answer arrived, and what its
    // status means (a refusal, a retry) is the caller's to judge.
    status = PostJson(url, body, headers, response).status;
    return true;
}

}  // namespace tessary
