#include "ui/shell_open.h"

#include <shellapi.h>

namespace tessary::ui {

void ShellOpen(const std::wstring& file, const std::wstring& parameters, int show) {
    ::ShellExecuteW(nullptr, L"open", file.c_str(), parameters.empty() ? nullptr : parameters.c_str(), nullptr, show);
}

}  // namespace tessary::ui
