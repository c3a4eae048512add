// tessary_driver: the wizard driver from the command line, for scripts such as the demo.
//   tessary_driver run PROGRAM.exe SCREENSHOT_DIR
//     starts the wizard, waits for each page it reaches and saves a picture of it, pressing the
//     page's forward button, until the wizard ends or stops moving.
#include <cstdio>
#include <string>

#include "driver/wizard_driver.h"
#include "platform/win32/gdiplus_session.h"

namespace {

using namespace tessary::e2e;

// The forward button of each page, if it has one.
int ForwardButton(const std::wstring& page) {
    if (page == L"FinishPageDLM" || page == L"FinishPageISV") return 1028;
    if (page == L"ProductPage") return 1021;
    if (page == L"LicensePage") return 1050;
    if (page == L"ErrorPage") return 1035;
    if (page == L"LoadingPage" || page == L"DownloadPageDLM" || page == L"DownloadPageISV") return 0;
    return 1010;
}

int Walk(const std::wstring& program, const std::wstring& folder) {
    WizardProcess wizard(program);
    if (!wizard.HasHost()) {
        std::fwprintf(stderr, L"the wizard did not start\n");
        return 1;
    }
    ::CreateDirectoryW(folder.c_str(), nullptr);
    std::wstring last;
    int step = 0;
    while (wizard.IsRunning()) {
        std::wstring page;
        // A page without buttons moves on by itself; wait for the next one.
        if (!WaitUntil([&] { page = wizard.VisiblePage(); return !page.empty() && page != last; }, 60s)) break;
        ::Sleep(700);
        const std::wstring name = std::to_wstring(++step) + L"-" + page;
        SaveScreenshot(wizard.Host(), folder + L"\\" + name + L".png");
        std::wprintf(L"%ls\n", name.c_str());
        std::fflush(stdout);
        last = page;
        if (const int button = ForwardButton(page)) wizard.Click(button);
        if (page.rfind(L"FinishPage", 0) == 0 || page == L"ErrorPage") break;
    }
    wizard.WaitForExit(20s);
    return 0;
}

}  // namespace

int wmain(int argc, wchar_t** argv) {
    tessary::win32::GdiplusSession gdiplus;
    if (argc == 4 && std::wstring(argv[1]) == L"run") return Walk(argv[2], argv[3]);
    std::fwprintf(stderr, L"usage: tessary_driver run PROGRAM.exe SCREENSHOT_DIR\n");
    return 2;
}
