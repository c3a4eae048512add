#include "app/tessary_app.h"

#include <commctrl.h>
#include <ole2.h>

#include "app/tessary_dlg.h"
#include "config/configuration_manager.h"

namespace tessary {

CTessaryApp::~CTessaryApp() {
    m_gdiplus.reset();
    if (m_oleInitialized) ::OleUninitialize();
}

bool CTessaryApp::InitInstance() {
    INITCOMMONCONTROLSEX controls{};
    controls.dwSize = sizeof controls;
    controls.dwICC = ICC_WIN95_CLASSES | ICC_LINK_CLASS;
    ::InitCommonControlsEx(&controls);

    // The licence page's text box; without it there is no wizard.
    m_richEdit.Reset(::LoadLibraryW(L"riched20.dll"));
    if (!m_richEdit) return false;

    // The shell's folder objects and the link controls want an OLE apartment.
    m_oleInitialized = SUCCEEDED(::OleInitialize(nullptr));
    m_gdiplus = std::make_unique<win32::GdiplusSession>();

    {
        CTessaryDlg dialog;
        dialog.SetBackgroundColor(ConfigurationManager::GetInstance()->m_backgroundColor, true);
        m_dialogResult = dialog.DoModal();
    }
    return false;
}

}  // namespace tessary
