#include "wizard_driver.h"

#include <commctrl.h>
#include <objidl.h>
#include <gdiplus.h>

#include <memory>

namespace tessary::e2e {
namespace {

struct SearchState {
    DWORD processId;
    std::vector<HWND> found;
};

BOOL CALLBACK CollectDialogs(HWND window, LPARAM parameter) {
    auto& state = *reinterpret_cast<SearchState*>(parameter);
    DWORD owner = 0;
    ::GetWindowThreadProcessId(window, &owner);
    if (owner == state.processId && WindowClass(window) == L"#32770" && ::IsWindowVisible(window)) {
        state.found.push_back(window);
    }
    return TRUE;
}

bool IsHost(HWND window) { return ::GetDlgItem(window, 1014) != nullptr; }

HWND FindVisiblePage(HWND host) {
    for (HWND child = ::GetWindow(host, GW_CHILD); child; child = ::GetWindow(child, GW_HWNDNEXT)) {
        if (WindowClass(child) == L"#32770" && ::IsWindowVisible(child)) return child;
    }
    return nullptr;
}

std::optional<CLSID> PngEncoder() {
    UINT count = 0, size = 0;
    Gdiplus::GetImageEncodersSize(&count, &size);
    if (size == 0) return std::nullopt;
    std::vector<std::uint8_t> buffer(size);
    auto* encoders = reinterpret_cast<Gdiplus::ImageCodecInfo*>(buffer.data());
    Gdiplus::GetImageEncoders(count, size, encoders);
    for (UINT i = 0; i < count; ++i) {
        if (std::wstring(encoders[i].MimeType) == L"image/png") return encoders[i].Clsid;
    }
    return std::nullopt;
}

}  // namespace

std::wstring WindowText(HWND window) {
    wchar_t text[1024] = {};
    // WM_GETTEXT works across processes where GetWindowText would not ask the window.
    ::SendMessageTimeoutW(window, WM_GETTEXT, 1024, reinterpret_cast<LPARAM>(text), SMTO_ABORTIFHUNG, 5000, nullptr);
    return text;
}

std::wstring WindowClass(HWND window) {
    wchar_t name[256] = {};
    ::GetClassNameW(window, name, 256);
    return name;
}

std::vector<HWND> ProcessDialogs(DWORD processId) {
    SearchState state{processId, {}};
    ::EnumWindows(CollectDialogs, reinterpret_cast<LPARAM>(&state));
    return state.found;
}

HWND FindHost(DWORD processId) {
    for (HWND window : ProcessDialogs(processId)) {
        if (IsHost(window)) return window;
    }
    return nullptr;
}

WizardProcess::WizardProcess(const std::wstring& program, std::chrono::milliseconds timeout) {
    STARTUPINFOW startup{};
    startup.cb = sizeof startup;
    PROCESS_INFORMATION info{};
    std::wstring commandLine = L"\"" + program + L"\"";
    if (!::CreateProcessW(program.c_str(), commandLine.data(), nullptr, nullptr, FALSE, 0, nullptr, nullptr, &startup,
                          &info)) {
        return;
    }
    ::CloseHandle(info.hThread);
    m_process.Reset(info.hProcess);
    m_processId = info.dwProcessId;
    WaitUntil(
        [&] {
            m_host = FindHost(m_processId);
            return m_host || !IsRunning();
        },
        timeout);
}

WizardProcess::~WizardProcess() {
    if (IsRunning()) {
        ::TerminateProcess(m_process.Get(), 99);
        ::WaitForSingleObject(m_process.Get(), 10000);
    }
}

bool WizardProcess::IsRunning() const { return m_process && ::WaitForSingleObject(m_process.Get(), 0) == WAIT_TIMEOUT; }

std::optional<DWORD> WizardProcess::WaitForExit(std::chrono::milliseconds timeout) const {
    if (!m_process) return std::nullopt;
    if (::WaitForSingleObject(m_process.Get(), static_cast<DWORD>(timeout.count())) != WAIT_OBJECT_0) {
        return std::nullopt;
    }
    DWORD code = 0;
    ::GetExitCodeProcess(m_process.Get(), &code);
    return code;
}

HWND WizardWindows::VisiblePageWindow() const { return m_host ? FindVisiblePage(m_host) : nullptr; }

std::wstring WizardWindows::VisiblePage() const {
    const HWND page = m_host ? FindVisiblePage(m_host) : nullptr;
    return page ? WindowText(page) : std::wstring();
}

bool WizardWindows::WaitForPage(const std::wstring& name, std::chrono::milliseconds timeout) const {
    return WaitUntil([&] { return VisiblePage() == name; }, timeout);
}

HWND WizardWindows::PageWindow(const std::wstring& name) const {
    for (HWND child = ::GetWindow(m_host, GW_CHILD); child; child = ::GetWindow(child, GW_HWNDNEXT)) {
        if (WindowClass(child) == L"#32770" && WindowText(child) == name) return child;
    }
    return nullptr;
}

HWND WizardWindows::Control(int id) const {
    if (const HWND page = FindVisiblePage(m_host)) {
        if (const HWND control = ::GetDlgItem(page, id)) return control;
    }
    return ::GetDlgItem(m_host, id);
}

std::wstring WizardWindows::ControlText(int id) const { return WindowText(Control(id)); }

bool WizardWindows::IsControlVisible(int id) const { return ::IsWindowVisible(Control(id)) != FALSE; }

void WizardWindows::Click(int id) const {
    const HWND control = Control(id);
    ::PostMessageW(::GetParent(control), WM_COMMAND, MAKEWPARAM(id, BN_CLICKED), reinterpret_cast<LPARAM>(control));
}

bool WizardWindows::SelectComboEntry(int id, const std::wstring& text) const {
    const HWND combo = Control(id);
    const auto count = ::SendMessageW(combo, CB_GETCOUNT, 0, 0);
    for (LRESULT index = 0; index < count; ++index) {
        wchar_t entry[256] = {};
        if (::SendMessageW(combo, CB_GETLBTEXTLEN, index, 0) >= 256) continue;
        ::SendMessageW(combo, CB_GETLBTEXT, index, reinterpret_cast<LPARAM>(entry));
        if (text != entry) continue;
        ::SendMessageW(combo, CB_SETCURSEL, index, 0);
        ::PostMessageW(::GetParent(combo), WM_COMMAND, MAKEWPARAM(id, CBN_SELCHANGE), reinterpret_cast<LPARAM>(combo));
        return true;
    }
    return false;
}

std::vector<std::wstring> WizardWindows::ComboEntries(int id) const {
    const HWND combo = Control(id);
    std::vector<std::wstring> entries;
    const auto count = ::SendMessageW(combo, CB_GETCOUNT, 0, 0);
    for (LRESULT index = 0; index < count; ++index) {
        wchar_t entry[256] = {};
        if (::SendMessageW(combo, CB_GETLBTEXTLEN, index, 0) >= 256) continue;
        ::SendMessageW(combo, CB_GETLBTEXT, index, reinterpret_cast<LPARAM>(entry));
        entries.emplace_back(entry);
    }
    return entries;
}

std::wstring WizardWindows::ComboSelection(int id) const {
    const HWND combo = Control(id);
    const auto index = ::SendMessageW(combo, CB_GETCURSEL, 0, 0);
    if (index == CB_ERR || ::SendMessageW(combo, CB_GETLBTEXTLEN, index, 0) >= 256) return {};
    wchar_t entry[256] = {};
    ::SendMessageW(combo, CB_GETLBTEXT, index, reinterpret_cast<LPARAM>(entry));
    return entry;
}

void WizardWindows::PostClose() const { ::PostMessageW(m_host, WM_CLOSE, 0, 0); }

void WizardWindows::PostSystemCommand(WPARAM command) const { ::PostMessageW(m_host, WM_SYSCOMMAND, command, 0); }

void WizardWindows::PressEscape() const {
    GUITHREADINFO info{};
    info.cbSize = sizeof info;
    ::GetGUIThreadInfo(::GetWindowThreadProcessId(m_host, nullptr), &info);
    // The key goes through the wizard's message loop, where a dialog turns it into its cancel command.
    const HWND target = info.hwndFocus ? info.hwndFocus : m_host;
    ::PostMessageW(target, WM_KEYDOWN, VK_ESCAPE, 1);
    ::PostMessageW(target, WM_KEYUP, VK_ESCAPE, 0xC0000001);
}

std::optional<MessageBoxInfo> WizardProcess::WaitForDialog(std::chrono::milliseconds timeout) const {
    std::optional<MessageBoxInfo> found;
    WaitUntil(
        [&] {
            for (HWND window : ProcessDialogs(m_processId)) {
                if (window == m_host || IsHost(window)) continue;
                // A message box's text sits in its static 0xFFFF; other dialogs name their own.
                HWND text = ::GetDlgItem(window, 0xFFFF);
                found = MessageBoxInfo{window, WindowText(window), text ? WindowText(text) : std::wstring()};
                return true;
            }
            return false;
        },
        timeout);
    return found;
}

void WizardProcess::PressDialogButton(HWND dialog, int id) {
    const HWND button = ::GetDlgItem(dialog, id);
    ::PostMessageW(dialog, WM_COMMAND, MAKEWPARAM(id, BN_CLICKED), reinterpret_cast<LPARAM>(button));
}

ProgressState ReadProgress(HWND bar) {
    DWORD_PTR position = 0;
    ::SendMessageTimeoutW(bar, PBM_GETPOS, 0, 0, SMTO_ABORTIFHUNG, 5000, &position);
    const bool marquee = (::GetWindowLongPtrW(bar, GWL_STYLE) & PBS_MARQUEE) != 0;
    return {static_cast<int>(position), marquee};
}

bool SaveScreenshot(HWND window, const std::wstring& path) {
    RECT bounds{};
    if (!::GetWindowRect(window, &bounds)) return false;
    const int width = bounds.right - bounds.left;
    const int height = bounds.bottom - bounds.top;
    if (width <= 0 || height <= 0) return false;
    const HDC screen = ::GetDC(nullptr);
    const HDC memory = ::CreateCompatibleDC(screen);
    const HBITMAP bitmap = ::CreateCompatibleBitmap(screen, width, height);
    const HGDIOBJ previous = ::SelectObject(memory, bitmap);
    ::BitBlt(memory, 0, 0, width, height, screen, bounds.left, bounds.top, SRCCOPY);
    ::SelectObject(memory, previous);
    bool saved = false;
    {
        Gdiplus::Bitmap picture(bitmap, nullptr);
        if (const auto encoder = PngEncoder()) saved = picture.Save(path.c_str(), &*encoder, nullptr) == Gdiplus::Ok;
    }
    ::DeleteObject(bitmap);
    ::DeleteDC(memory);
    ::ReleaseDC(nullptr, screen);
    return saved;
}

}  // namespace tessary::e2e
