#include "app/about_dlg.h"

#include "config/configuration_manager.h"
#include "resource.h"

namespace tessary {

CAboutDlg::CAboutDlg(HWND parent) : ui::Dialog(IDD_ABOUTBOX, parent) {}

BOOL CAboutDlg::OnInitDialog() {
    const std::wstring line = L"Tessary, Version " + ConfigurationManager::GetInstance()->m_version;
    ::SetDlgItemTextW(GetSafeHwnd(), IDC_ABOUT_VERSION, line.c_str());
    return TRUE;
}

}  // namespace tessary
