#include "net/url_check.h"

#include <regex>

#include "platform/ports.h"

namespace tessary {

bool IsValidUrl(const std::wstring& url) {
    static const std::regex kUrl(R"(^((http|https):\/\/)?([\w.-]+)(\.[\w.-]+)+([\/?#].*)?$)",
                                 std::regex::ECMAScript);
    return std::regex_match(platform::Text().ToNarrow(platform::CodePage::ThreadAnsi, url), kUrl);
}

}  // namespace tessary
