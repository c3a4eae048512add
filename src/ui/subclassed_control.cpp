#include "ui/subclassed_control.h"

#include <commctrl.h>

#include "platform/diagnostics.h"

namespace tessary::ui {

SubclassedControl::SubclassedControl(std::string_view name) : m_where(std::string(name) + " subclass procedure") {}

SubclassedControl::~SubclassedControl() { Detach(); }

// The object's address is the subclass id, so two controls never take each other's place on one
// window.
void SubclassedControl::Attach(HWND control) {
    Detach();
    m_hwnd = control;
    if (m_hwnd) {
        ::SetWindowSubclass(m_hwnd, SubclassProc, reinterpret_cast<UINT_PTR>(this), reinterpret_cast<DWORD_PTR>(this));
    }
}

void SubclassedControl::Detach() {
    if (m_hwnd && ::IsWindow(m_hwnd)) ::RemoveWindowSubclass(m_hwnd, SubclassProc, reinterpret_cast<UINT_PTR>(this));
    m_hwnd = nullptr;
}

LRESULT SubclassedControl::DefaultProcedure(UINT message, WPARAM wParam, LPARAM lParam) {
    return ::DefSubclassProc(m_hwnd, message, wParam, lParam);
}

LRESULT CALLBACK SubclassedControl::SubclassProc(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam, UINT_PTR,
                                                 DWORD_PTR self) {
    auto* control = reinterpret_cast<SubclassedControl*>(self);
    if (message == WM_NCDESTROY) {
        // The window's last message: the control lets go before anything else can go wrong.
        control->Detach();
        return ::DefSubclassProc(hwnd, message, wParam, lParam);
    }
    // GuardCallback catches what escapes a handler and reports it; the message then goes to the
    // control's own procedure.
    return platform::GuardCallback(
        control->m_where,
        [&]() -> LRESULT {
            LRESULT result = 0;
            if (control->OnMessage(message, wParam, lParam, result)) return result;
            return ::DefSubclassProc(hwnd, message, wParam, lParam);
        },
        [&] { return ::DefSubclassProc(hwnd, message, wParam, lParam); });
}

}  // namespace tessary::ui
