#include "i18n/reference_expansion.h"

namespace tessary {

std::string ExpandValue(const std::string& value, const StringTable& table) {
    // Work on a copy: the table may hold this very value, and a self-reference must insert the
    // text as it was, not the growing result.
    std::string text = value;
    int replacements = 0;
    std::size_t pos = 0;
    while (replacements < kMaxReplacementsPerValue) {
        const std::size_t open = text.find('{', pos);
        if (open == std::string::npos) break;
        const std::size_t close = text.find('}', open + 1);
        if (close == std::string::npos) break;
        const auto found = table.find(text.substr(open + 1, close - open - 1));
        if (found == table.end()) {
            pos = close + 1;
            continue;
        }
        text.replace(open, close - open + 1, found->second);
        pos = open;
        ++replacements;
    }
    return text;
}

}  // namespace tessary
