#pragma once
#include <map>
#include <string>

namespace tessary {

// Narrow key → UTF-8 value; std::string orders its keys byte by byte.
using StringTable = std::map<std::string, std::string>;

// A value may name another entry as {KEY}. Inserted text is scanned again, so references nest;
// a table whose references lead back to themselves (the product title comes from the remote
// configuration and may contain anything) would never finish, so a value takes at most this
// many replacements and keeps the rest as written.
inline constexpr int kMaxReplacementsPerValue = 64;

// The value with its references to the table resolved. "{" without a "}" after it and names
// the table does not hold stay as written.
std::string ExpandValue(const std::string& value, const StringTable& table);

}  // namespace tessary
