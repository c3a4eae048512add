// tessary_driver: the wizard driver from the command line, for scripts such as the demo.
//   tessary_driver run PROGRAM.exe SCREENSHOT_DIR
//     starts the wizard, waits for each page it reaches and saves a picture of it, pressing the
//     page's forward button (Accept on the first offer, Decline on every later one), until the
//     wizard ends or stops moving.
//   tessary_driver show PROGRAM.exe SCREENSHOT_DIR
//     starts the wizard for a person to use, saves a picture of each page it shows, and returns
//     when the wizard ends.
#include <cstdio>
#include <string>

#include "driver/wizard_driver.h"
#include "platform/win32/gdiplus_session.h"

namespace {

using namespace tessary::e2e;

constexpr int kAccept = 1021;
constexpr int kDecline = 1022;

// The forward button of each page, if it has one; offer pages are answered apart.
int ForwardButton(const std::wstring& page) {
    if (page == L"FinishPageDLM" || page == L"FinishPageISV") return 1028;
    if (page == L"ProductPage") return kAccept;
    if (page == L"LicensePage") return 1050;
    if (page == L"ErrorPage") return 1035;
    if (page == L"LoadingPage" || page == L"DownloadPageDLM" || page == L"DownloadPageISV") return 0;
    return 1010;
}

int Walk(const std::wstring& program, const std::wstring& folder, bool pressButtons) {
    WizardProcess wizard(program);
    if (!wizard.HasHost()) {
        std::fwprintf(stderr, L"the wizard did not start\n");
        return 1;
    }
    ::CreateDirectoryW(folder.c_str(), nullptr);
    HWND last = nullptr;
    int step = 0;
    int offers = 0;
    while (wizard.IsRunning()) {
        std::wstring page;
        HWND window = nullptr;
        // A page without buttons moves on by itself; wait for the next one. One offer page follows
        // another under the same name, so pages are told apart by their windows.
        const auto patience = pressButtons ? 60s : 3600s;
        if (!WaitUntil(
                [&] {
                    window = wizard.VisiblePageWindow();
                    page = window ? WindowText(window) : std::wstring();
                    return !wizard.IsRunning() || (!page.empty() && window != last);
                },
                patience) ||
            !wizard.IsRunning()) {
            break;
        }
        // A page that moves on by itself is taken almost at once, before it is gone.
        ::Sleep(ForwardButton(page) != 0 ? 700 : 100);
        const std::wstring name = std::to_wstring(++step) + L"-" + page;
        SaveScreenshot(wizard.Host(), folder + L"\\" + name + L".png");
        std::wprintf(L"%ls\n", name.c_str());
        std::fflush(stdout);
        last = window;
        if (!pressButtons) continue;
        if (page == L"ProductPage") {
            // One offer taken and the others declined, so a walk shows both answers.
            wizard.Click(++offers == 1 ? kAccept : kDecline);
        } else if (const int button = ForwardButton(page)) {
            wizard.Click(button);
        }
        if (page.starts_with(L"FinishPage") || page == L"ErrorPage") break;
    }
    wizard.WaitForExit(pressButtons ? 20s : 3600s);
    return 0;
}

}  // namespace

int wmain(int argc, wchar_t** argv) {
    tessary::win32::GdiplusSession gdiplus;
    const std::wstring mode = argc == 4 ? argv[1] : L"";
    if (mode == L"run" || mode == L"show") return Walk(argv[2], argv[3], mode == L"run");
    std::fwprintf(stderr, L"usage: tessary_driver run|show PROGRAM.exe SCREENSHOT_DIR\n");
    return 2;
}
