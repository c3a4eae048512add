#pragma once
#include <string>

namespace tessary::platform {

// The path of name inside folder, with one separator between them.
inline std::wstring JoinPath(const std::wstring& folder, const std::wstring& name) {
    if (folder.empty() || folder.back() == L'\\' || folder.back() == L'/') return folder + name;
    return folder + L"\\" + name;
}

}  // namespace tessary::platform
