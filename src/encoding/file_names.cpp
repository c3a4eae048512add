#include "encoding/file_names.h"

#include <algorithm>
#include <array>
#include <string_view>

namespace tessary {
namespace {

bool IsForbiddenCharacter(wchar_t c) {
    return c < 0x20 || c == L'<' || c == L'>' || c == L'"' || c == L'|' || c == L'*' || c == L'?';
}

bool IsSeparatorOrColon(wchar_t c) { return c == L'\\' || c == L'/' || c == L':'; }

wchar_t Lower(wchar_t c) { return c >= L'A' && c <= L'Z' ? static_cast<wchar_t>(c - L'A' + L'a') : c; }

// Windows takes these as devices whatever extension follows them, and ignores trailing blanks and
// dots before deciding ("nul .txt" is the device too).
bool IsDeviceName(const std::wstring& name) {
    std::wstring stem = name.substr(0, name.find(L'.'));
    while (!stem.empty() && (stem.back() == L' ' || stem.back() == L'.')) stem.pop_back();
    std::transform(stem.begin(), stem.end(), stem.begin(), Lower);
    static constexpr std::array<std::wstring_view, 6> kPlain{L"con", L"prn", L"aux", L"nul", L"conin$", L"conout$"};
    if (std::find(kPlain.begin(), kPlain.end(), stem) != kPlain.end()) return true;
    return stem.size() == 4 && (stem.starts_with(L"com") || stem.starts_with(L"lpt")) && stem[3] >= L'1' &&
           stem[3] <= L'9';
}

}  // namespace

std::wstring FileNameFromUrl(const std::wstring& url) {
    // The query and the fragment go first, so that a slash inside them cannot choose the name.
    const std::wstring path = url.substr(0, url.find_first_of(L"?#"));
    const auto slash = path.rfind(L'/');
    if (slash == std::wstring::npos) return {};
    return path.substr(slash + 1);
}

std::optional<std::wstring> SafeFileName(const std::wstring& given) {
    // Windows drops trailing blanks and dots from a name, so "x.exe." is "x.exe" and "..." is
    // nothing at all: the folder itself.
    std::wstring name = given;
    while (!name.empty() && (name.back() == L' ' || name.back() == L'.')) name.pop_back();
    if (name.empty()) return std::nullopt;
    if (std::any_of(name.begin(), name.end(), IsSeparatorOrColon)) return std::nullopt;
    if (IsDeviceName(name)) return std::nullopt;
    std::wstring safe = name;
    std::replace_if(safe.begin(), safe.end(), IsForbiddenCharacter, L'_');
    return safe;
}

std::wstring FileNameFromTitle(const std::wstring& title) {
    std::wstring name = title;
    std::replace_if(name.begin(), name.end(), IsSeparatorOrColon, L'_');
    return name;
}

}  // namespace tessary
