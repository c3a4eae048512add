#pragma once
// The redirects the WinHTTP path follows itself: where a Location leads and which are refused.
#include <optional>
#include <string>

namespace tessary {

inline constexpr unsigned kMaxRedirects = 5;
inline constexpr std::size_t kMaxLocationLength = 259;

// The absolute URL a Location names, seen from the URL that answered with it: absolute ("https://
// host/x"), without scheme ("//host/x"), from the host's root ("/x") or beside the answering
// path ("x", "../x"). Nothing when the base is no http(s) URL.
std::optional<std::wstring> ResolveLocation(const std::wstring& base, const std::wstring& location);

// True for "https:" to "http:": the answer would no longer be protected from whoever is between.
bool IsDowngrade(const std::wstring& from, const std::wstring& to);

}  // namespace tessary
