#pragma once
// Drives a running wizard the way a user would: finds its windows, presses its controls, answers
// its message boxes, reads its texts and takes pictures of it.
#include <windows.h>

#include <chrono>
#include <optional>
#include <string>
#include <vector>

#include "platform/win32/handles.h"

namespace tessary::e2e {

using namespace std::chrono_literals;

struct MessageBoxInfo {
    HWND window = nullptr;
    std::wstring caption;
    std::wstring text;
};

// The windows of a running wizard, reached from its host: the pages and their controls. The
// host may live in another process or on another thread of this one.
class WizardWindows {
public:
    explicit WizardWindows(HWND host = nullptr) : m_host(host) {}

    HWND Host() const { return m_host; }
    bool HasHost() const { return m_host != nullptr; }

    // The window text of the host's visible page (each page is named in its window text).
    std::wstring VisiblePage() const;
    // The window of the visible page; pages of the same kind (the offer pages) differ in it.
    HWND VisiblePageWindow() const;
    bool WaitForPage(const std::wstring& name, std::chrono::milliseconds timeout = 20s) const;
    HWND PageWindow(const std::wstring& name) const;
    // A control of the visible page, or of the host when the page has none with that id.
    HWND Control(int id) const;
    std::wstring ControlText(int id) const;
    bool IsControlVisible(int id) const;

    // Presses a button without waiting for what it starts (a message box, say).
    void Click(int id) const;
    // Picks a combo box entry by its exact text, as a user's selection does.
    bool SelectComboEntry(int id, const std::wstring& text) const;
    std::vector<std::wstring> ComboEntries(int id) const;
    std::wstring ComboSelection(int id) const;
    void PostClose() const;
    void PostSystemCommand(WPARAM command) const;
    // The Escape key as a user presses it, on whatever has the focus on the wizard's thread.
    void PressEscape() const;

protected:
    HWND m_host = nullptr;
};

// A wizard program started for a test.
class WizardProcess : public WizardWindows {
public:
    // Starts the program and waits for its main window.
    explicit WizardProcess(const std::wstring& program, std::chrono::milliseconds timeout = 30s);
    ~WizardProcess();  // ends the process if it still runs
    WizardProcess(const WizardProcess&) = delete;
    WizardProcess& operator=(const WizardProcess&) = delete;

    DWORD ProcessId() const { return m_processId; }

    // A top-level dialog of this process other than the host (message boxes, the About box).
    std::optional<MessageBoxInfo> WaitForDialog(std::chrono::milliseconds timeout = 20s) const;
    static void PressDialogButton(HWND dialog, int id);

    std::optional<DWORD> WaitForExit(std::chrono::milliseconds timeout = 30s) const;
    bool IsRunning() const;

private:
    win32::KernelHandle m_process;
    DWORD m_processId = 0;
};

// Every top-level window of a process that is a dialog.
std::vector<HWND> ProcessDialogs(DWORD processId);
// The visible wizard host among a process's windows; null when it shows none.
HWND FindHost(DWORD processId);
std::wstring WindowText(HWND window);
std::wstring WindowClass(HWND window);
// Waits until the condition holds or the time is up; true when it held.
template <typename Condition>
bool WaitUntil(Condition condition, std::chrono::milliseconds timeout) {
    const auto end = std::chrono::steady_clock::now() + timeout;
    while (!condition()) {
        if (std::chrono::steady_clock::now() >= end) return false;
        ::Sleep(50);
    }
    return true;
}

// What a progress bar shows: its position, and whether it runs as a marquee (PBS_MARQUEE).
struct ProgressState {
    int position = 0;
    bool marquee = false;
    bool operator==(const ProgressState&) const = default;
};
ProgressState ReadProgress(HWND bar);

// Saves what the screen shows of the window as a PNG.
bool SaveScreenshot(HWND window, const std::wstring& path);

}  // namespace tessary::e2e
