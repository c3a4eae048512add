#pragma once
#include <windows.h>

#include <string>
#include <string_view>

namespace tessary::ui {

// A control of a dialog template whose messages this object sees first (a window subclass). The
// base does the plumbing once: installing and removing the subclass, forgetting the window when it
// is destroyed, and keeping whatever a handler throws from unwinding into the system. A derived
// control only answers the messages it cares about.
class SubclassedControl {
public:
    virtual ~SubclassedControl();
    SubclassedControl(const SubclassedControl&) = delete;
    SubclassedControl& operator=(const SubclassedControl&) = delete;

    // Routes the control's messages through OnMessage; a window attached before is let go first.
    void Attach(HWND control);
    // Gives the window back to its own procedure.
    void Detach();
    HWND GetSafeHwnd() const { return m_hwnd; }

protected:
    // name says which control a diagnostic line speaks of ("link button").
    explicit SubclassedControl(std::string_view name);

    // True when handled, with the message's answer in result; otherwise the control's own
    // procedure answers it. WM_NCDESTROY never comes here: the window is gone by then.
    virtual bool OnMessage(UINT message, WPARAM wParam, LPARAM lParam, LRESULT& result) = 0;
    // The control's own procedure, for a handler that adds to what it does.
    LRESULT DefaultProcedure(UINT message, WPARAM wParam, LPARAM lParam);

private:
    static LRESULT CALLBACK SubclassProc(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam, UINT_PTR id,
                                         DWORD_PTR self);

    std::string m_where;  // "<name> subclass procedure", as the diagnostics name it
    HWND m_hwnd = nullptr;
};

}  // namespace tessary::ui
