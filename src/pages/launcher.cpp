#include "pages/launcher.h"

#include <windows.h>

#include "ui/shell_open.h"

namespace tessary {

Launcher ShellLauncher() {
    return [](const std::wstring& file, const std::wstring& parameters) {
        ui::ShellOpen(file, parameters, SW_SHOWDEFAULT);
    };
}

}  // namespace tessary
