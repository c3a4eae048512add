#include "net/redirects.h"

#include <algorithm>
#include <cwctype>
#include <vector>

namespace tessary {
namespace {

bool StartsWithNoCase(const std::wstring& text, std::wstring_view prefix) {
    if (text.size() < prefix.size()) return false;
    return std::equal(prefix.begin(), prefix.end(), text.begin(),
                      [](wchar_t a, wchar_t b) { return std::towlower(a) == std::towlower(b); });
}

// The scheme with its "://" ("https://"), or "" when the text starts with neither http scheme.
std::wstring SchemeOf(const std::wstring& url) {
    if (StartsWithNoCase(url, L"https://")) return url.substr(0, 8);
    if (StartsWithNoCase(url, L"http://")) return url.substr(0, 7);
    return {};
}

// "a/b/../c/./d" as "a/c/d"; a ".." above the root stays at the root, as browsers do.
std::wstring RemoveDotSegments(const std::wstring& path) {
    std::vector<std::wstring> kept;
    std::size_t start = 0;
    for (;;) {
        const auto slash = path.find(L'/', start);
        const std::wstring segment = path.substr(start, slash == std::wstring::npos ? std::wstring::npos : slash - start);
        const bool last = slash == std::wstring::npos;
        if (segment == L"..") {
            if (kept.size() > 1) kept.pop_back();
            if (last) kept.emplace_back();
        } else if (segment == L".") {
            if (last) kept.emplace_back();
        } else {
            kept.push_back(segment);
        }
        if (last) break;
        start = slash + 1;
    }
    std::wstring joined;
    for (std::size_t i = 0; i < kept.size(); ++i) joined += (i ? L"/" : L"") + kept[i];
    return joined;
}

// "scheme:" before any "/", "?" or "#": an absolute URL, of whatever scheme.
bool HasScheme(const std::wstring& url) {
    const auto colon = url.find(L':');
    if (colon == 0 || colon == std::wstring::npos || colon > url.find_first_of(L"/?#")) return false;
    return std::all_of(url.begin(), url.begin() + static_cast<std::ptrdiff_t>(colon), [](wchar_t c) {
        return std::iswalnum(c) || c == L'+' || c == L'-' || c == L'.';
    });
}

}  // namespace

std::optional<std::wstring> ResolveLocation(const std::wstring& base, const std::wstring& location) {
    const std::wstring scheme = SchemeOf(base);
    if (scheme.empty()) return std::nullopt;
    if (HasScheme(location)) return location;
    if (location.starts_with(L"//")) return scheme.substr(0, scheme.size() - 2) + location;

    const auto pathStart = base.find(L'/', scheme.size());
    const auto authorityEnd = std::min(pathStart, base.find_first_of(L"?#", scheme.size()));
    const std::wstring origin = base.substr(0, authorityEnd);
    if (location.starts_with(L"/")) return origin + RemoveDotSegments(location);

    // A new query or fragment for the same path.
    if (location.empty() || location.starts_with(L"#")) return base.substr(0, base.find(L'#')) + location;
    if (location.starts_with(L"?")) return base.substr(0, base.find_first_of(L"?#", scheme.size())) + location;

    // Beside the answering path: in its folder.
    std::wstring path = authorityEnd == std::wstring::npos ? std::wstring() : base.substr(authorityEnd);
    path = path.substr(0, path.find_first_of(L"?#"));
    if (path.empty()) path = L"/";
    path = path.substr(0, path.rfind(L'/') + 1);
    return origin + RemoveDotSegments(path + location);
}

bool IsDowngrade(const std::wstring& from, const std::wstring& to) {
    return StartsWithNoCase(from, L"https://") && StartsWithNoCase(to, L"http://");
}

}  // namespace tessary
