#pragma once
#include <string>
#include <string_view>

namespace tessary {

// Whether url looks like an absolute address: an optional "http://" or "https://", a host made
// of letters, digits, "_", "." and "-" with a "." somewhere inside it, then nothing or a part that
// starts with "/", "?" or "#". Names that fail are taken as files on the file host. The text is
// judged in the thread's ANSI code page.
bool IsValidUrl(const std::wstring& url);

// The same test on narrow text; the whole text must match
// ^((http|https):\/\/)?([\w.-]+)(\.[\w.-]+)+([\/?#].*)?$ (ECMAScript).
bool MatchesUrlPattern(std::string_view text);

// Whether a link may be handed to the browser: only addresses that start with "http://" or
// "https://" (in any case) are; a file, a program or another scheme never is.
bool IsWebAddress(std::wstring_view url);

}  // namespace tessary
