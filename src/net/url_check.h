#pragma once
#include <string>

namespace tessary {

// Whether url looks like an absolute address ("host.tld/..." with an optional http or https
// scheme). Names that fail are taken as files on the file host.
bool IsValidUrl(const std::wstring& url);

}  // namespace tessary
