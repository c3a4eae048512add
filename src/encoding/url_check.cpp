#include "encoding/url_check.h"

#include "platform/ports.h"

namespace tessary {
namespace {

// \w of the regular expression, in the classic locale.
bool IsWordChar(char c) {
    return (c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z') || (c >= '0' && c <= '9') || c == '_';
}

bool IsHostChar(char c) { return IsWordChar(c) || c == '.' || c == '-'; }

// "." of the regular expression matches everything but the line terminators.
bool IsLineTerminator(char c) { return c == '\n' || c == '\r'; }

void SkipScheme(std::string_view& text) {
    for (std::string_view scheme : {"http://", "https://"}) {
        if (text.substr(0, scheme.size()) == scheme) {
            text.remove_prefix(scheme.size());
            return;
        }
    }
}

}  // namespace

// A backtracking regular-expression engine needs exponential time for hosts such as
// "a.a.a.a...a!" and recurses once per character of the rest, which overflows the stack on long
// URLs. The pattern is simple enough to decide in one pass: the host is the longest run of host
// characters (none of them may start the rest), and "([\w.-]+)(\.[\w.-]+)+" holds exactly when
// that run has a "." that is neither its first nor its last character.
bool MatchesUrlPattern(std::string_view text) {
    SkipScheme(text);
    std::size_t hostLength = 0;
    while (hostLength < text.size() && IsHostChar(text[hostLength])) ++hostLength;
    const std::string_view host = text.substr(0, hostLength);
    if (host.size() < 3 || host.substr(1, host.size() - 2).find('.') == std::string_view::npos) return false;

    const std::string_view rest = text.substr(hostLength);
    if (rest.empty()) return true;
    if (rest.front() != '/' && rest.front() != '?' && rest.front() != '#') return false;
    for (char c : rest.substr(1)) {
        if (IsLineTerminator(c)) return false;
    }
    return true;
}

bool IsValidUrl(const std::wstring& url) {
    // A URL the system cannot even convert is no URL to download from.
    const auto narrow = platform::Text().ToNarrow(platform::CodePage::ThreadAnsi, url);
    return narrow && MatchesUrlPattern(*narrow);
}

bool IsWebAddress(std::wstring_view url) {
    for (std::wstring_view scheme : {std::wstring_view(L"http://"), std::wstring_view(L"https://")}) {
        if (url.size() <= scheme.size()) continue;
        bool same = true;
        for (std::size_t i = 0; i < scheme.size() && same; ++i) {
            const wchar_t c = url[i];
            same = (c >= L'A' && c <= L'Z' ? static_cast<wchar_t>(c - L'A' + L'a') : c) == scheme[i];
        }
        if (same) return true;
    }
    return false;
}

}  // namespace tessary
