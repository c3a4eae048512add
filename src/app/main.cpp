#include <windows.h>

#include "app/tessary_app.h"
#include "platform/win32/win32_ports.h"

int WINAPI wWinMain(HINSTANCE, HINSTANCE, PWSTR, int) {
    tessary::win32::InstallWin32Ports();
    tessary::CTessaryApp app;
    app.InitInstance();
    // The host's result tells how the wizard ended: 1 for Close, Finish or a refused start.
    return static_cast<int>(app.DialogResult());
}
