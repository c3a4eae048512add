#include <windows.h>

#include <cstdio>

#include "app/tessary_app.h"
#include "platform/win32/win32_ports.h"

int WINAPI wWinMain(HINSTANCE, HINSTANCE, PWSTR, int) {
    tessary::win32::InstallWin32Ports();
    int result = 0;
    {
        tessary::CTessaryApp app;
        app.InitInstance();
        // The host's result tells how the wizard ended: 1 for Close, Finish or a refused start.
        result = static_cast<int>(app.DialogResult());
    }
    // Closing never waits for the workers still under way (a configuration request, a picture, a
    // report): the process ends with them rather than tearing the process-wide objects down under
    // them.
    std::fflush(nullptr);
    ::ExitProcess(static_cast<UINT>(result));
}
