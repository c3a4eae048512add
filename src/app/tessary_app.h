#pragma once
#include <windows.h>

#include <memory>

#include "platform/win32/gdiplus_session.h"
#include "platform/win32/handles.h"

namespace tessary {

// The application: prepares the user-interface libraries, runs the wizard host modally, and
// ends the process when it returns.
class CTessaryApp {
public:
    CTessaryApp() = default;
    ~CTessaryApp();
    CTessaryApp(const CTessaryApp&) = delete;
    CTessaryApp& operator=(const CTessaryApp&) = delete;

    // Always false: there is nothing to run after the dialog. The dialog's result is kept.
    bool InitInstance();
    INT_PTR DialogResult() const { return m_dialogResult; }

private:
    win32::ModuleHandle m_richEdit;
    bool m_oleInitialized = false;
    std::unique_ptr<win32::GdiplusSession> m_gdiplus;
    INT_PTR m_dialogResult = 0;
};

}  // namespace tessary
