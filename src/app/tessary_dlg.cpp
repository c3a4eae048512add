// The host window itself: start-up checks, caption, system menu, painting, colours, closing.
#include "app/tessary_dlg.h"

#include <chrono>

#include "app/about_dlg.h"
#include "config/configuration_manager.h"
#include "config/folder_tree.h"
#include "config/package.h"
#include "config/wizard_type.h"
#include "net/api_manager.h"
#include "net/download_manager.h"
#include "pages/download_page.h"
#include "platform/ports.h"
#include "resource.h"
#include "ui/device_context.h"

namespace tessary {
namespace {

// How long closing gives a cancelled transfer to close its partial file.
constexpr unsigned kFileReleaseWaitMs = 2000;
// How long the wizard's end waits for the reports in flight, all of them together.
constexpr std::chrono::seconds kReportWaitLimit{3};
constexpr wchar_t kAnotherSetupRunning[] = L"Another setup is already running, please close it and try again";

std::wstring SingleInstanceMutexName() {
    return L"Global\\Tessary" + CompiledBuildConstants().wizardKey + L"SingleInstanceMutex";
}

std::wstring LoadResourceString(UINT id) {
    const wchar_t* text = nullptr;
    const int length = ::LoadStringW(::GetModuleHandleW(nullptr), id, reinterpret_cast<LPWSTR>(&text), 0);
    return length > 0 ? std::wstring(text, static_cast<std::size_t>(length)) : std::wstring();
}

}  // namespace

CTessaryDlg::CTessaryDlg()
    : ui::Dialog(IDD_TESSARY_DIALOG, nullptr),
      m_languageManager(std::make_shared<LanguageManager>(ConfigurationManager::GetInstance())) {
    m_hIcon = ::LoadIconW(::GetModuleHandleW(nullptr), MAKEINTRESOURCEW(IDR_MAINFRAME));
}

CTessaryDlg::~CTessaryDlg() {
    // The pages go first: the loading page stops its workers from reaching the host.
    m_pages.clear();
    m_errorPage.reset();
    // Every picture must be gone before the application shuts the image library down.
    auto config = ConfigurationManager::GetInstance();
    for (const auto& package : m_offerFlow.m_offers) package->m_image.reset();
    config->m_productImage.reset();
    for (const auto& package : config->m_acceptedPackages) package->m_image.reset();
    for (const auto& package : config->m_shownPackages) package->m_image.reset();
    m_productIcon.SetImage(nullptr);
}

BOOL CTessaryDlg::OnInitDialog() {
    const HWND hwnd = GetSafeHwnd();
    const std::wstring aboutText = LoadResourceString(IDS_ABOUTBOX);
    if (!aboutText.empty()) {
        const HMENU systemMenu = ::GetSystemMenu(hwnd, FALSE);
        ::AppendMenuW(systemMenu, MF_SEPARATOR, 0, nullptr);
        ::AppendMenuW(systemMenu, MF_STRING, IDM_ABOUTBOX, aboutText.c_str());
    }
    ::SendMessageW(hwnd, WM_SETICON, ICON_BIG, reinterpret_cast<LPARAM>(m_hIcon));
    ::SendMessageW(hwnd, WM_SETICON, ICON_SMALL, reinterpret_cast<LPARAM>(m_hIcon));

    m_singleInstanceMutex.Reset(::CreateMutexW(nullptr, TRUE, SingleInstanceMutexName().c_str()));
    if (m_singleInstanceMutex && ::GetLastError() == ERROR_ALREADY_EXISTS) {
        m_singleInstanceMutex.Reset();
        ::MessageBoxW(hwnd, kAnotherSetupRunning, L"Error", MB_ICONERROR | MB_SYSTEMMODAL);
        EndDialog(1);
        return FALSE;
    }
    // Any other failure to make the mutex lets the wizard go on unguarded.

    auto config = ConfigurationManager::GetInstance();
    if (config->m_wizardType == static_cast<int>(WizardType::Dlm)) {
        ::SetWindowTextW(hwnd, L"Setup");
    } else if (config->m_wizardType == static_cast<int>(WizardType::Isv)) {
        ::SetWindowTextW(hwnd, (config->m_productTitle + L" ").c_str());
    } else {
        platform::Ui().ShowMessage(L"Invalid wizard type", std::nullopt, MB_ICONERROR | MB_SYSTEMMODAL);
        EndDialog(1);
        return FALSE;
    }

    m_bandBrush.Reset(::CreateSolidBrush(config->m_accentColor));
    m_titleText = GetItem(IDC_TITLE_TEXT);
    m_headerLine = GetItem(IDC_HEADER_LINE);
    m_bottomBand = GetItem(IDC_BOTTOM_BAND);
    m_productIcon.Attach(GetItem(IDC_PRODUCT_ICON));
    ::SetWindowTextW(m_titleText, config->m_productTitle.c_str());

    CreateInitialPages();

    if (config->m_wizardType == static_cast<int>(WizardType::Isv)) {
        ::ShowWindow(m_productIcon.GetSafeHwnd(), SW_HIDE);
        ::ShowWindow(m_headerLine, SW_HIDE);
    }
    ::ShowWindow(m_titleText, SW_HIDE);
    return TRUE;
}

bool CTessaryDlg::OnMessage(UINT message, WPARAM wParam, LPARAM lParam, LRESULT& result) {
    switch (message) {
        case WM_SYSCOMMAND:
            return OnSysCommand(wParam);
        case WM_PAINT:
            return OnPaint();
        case WM_QUERYDRAGICON:
            result = reinterpret_cast<LRESULT>(m_hIcon);
            return true;
        case WM_TESSARY_LOAD_COMPLETE:
            result = OnLoadCompleteMessage(wParam, lParam);
            return true;
        case WM_CLOSE:
            OnClose();
            return true;
        default:
            return false;
    }
}

bool CTessaryDlg::OnCommand(WORD id, WORD code, HWND control) {
    if (id == IDC_SHOW_TEST_ERROR) {
        ShowErrorPage(L"Error", L"Error message");
        return true;
    }
    // Escape reaches the host as a cancel command; a page would swallow it, so the host does too.
    // The window closes only through OnClose, which asks first and reports the exit.
    if (id == IDCANCEL) return true;
    return ui::Dialog::OnCommand(id, code, control);
}

bool CTessaryDlg::OnSysCommand(WPARAM command) {
    if ((command & 0xFFF0) != IDM_ABOUTBOX) return false;
    CAboutDlg about(GetSafeHwnd());
    about.DoModal();
    return true;
}

bool CTessaryDlg::OnPaint() {
    const HWND hwnd = GetSafeHwnd();
    if (!::IsIconic(hwnd)) return false;
    const ui::PaintScope paint(hwnd);
    ::SendMessageW(hwnd, WM_ICONERASEBKGND, reinterpret_cast<WPARAM>(paint.Dc()), 0);
    RECT client{};
    ::GetClientRect(hwnd, &client);
    const int x = (client.right - client.left - ::GetSystemMetrics(SM_CXICON) + 1) / 2;
    const int y = (client.bottom - client.top - ::GetSystemMetrics(SM_CYICON) + 1) / 2;
    ::DrawIcon(paint.Dc(), x, y, m_hIcon);
    return true;
}

HBRUSH CTessaryDlg::OnCtlColor(HDC dc, HWND control, UINT type) {
    if (control == m_bottomBand) {
        ::SetBkMode(dc, TRANSPARENT);
        return static_cast<HBRUSH>(m_bandBrush.Get());
    }
    return DefaultCtlColor(dc, control, type);
}

void CTessaryDlg::OnClose() {
    // Until the configuration has brought the content pages, the wizard has barely begun.
    const bool onlyInitialPages = m_pages.size() == m_initialPageCount;
    const bool beforeLastPage = m_currentPage + 1 < m_pages.size();
    if (!m_errorShown && (beforeLastPage || onlyInitialPages)) {
        const std::wstring question = m_languageManager->GetText(m_installerRunning ? "PROGRESS_QUIT" : "MSG_EXIT");
        if (::MessageBoxW(GetSafeHwnd(), question.c_str(), L"", MB_OKCANCEL | MB_ICONQUESTION) != IDOK) return;
    }
    m_singleInstanceMutex.Reset();
    ::ShowWindow(GetSafeHwnd(), SW_HIDE);

    auto config = ConfigurationManager::GetInstance();
    config->m_exitRequested = true;
    // Nothing under way keeps the wizard from ending: the configuration request and the
    // downloads stop at once, and pictures that arrive later are dropped.
    ApiManager::GetInstance()->m_cancelRequested = true;
    DownloadManager::GetInstance()->m_cancelRequested = true;

    for (const auto& package : config->m_shownPackages) package->ReportEvent(5, nullptr);
    if (config->m_mainPackage) config->m_mainPackage->ReportEvent(5, nullptr);
    AwaitPendingReports();
    // A cancelled transfer lets go of its partial file within moments; the folder can go then.
    DownloadManager::GetInstance()->WaitForFileTransfers(kFileReleaseWaitMs);
    CleanupTempFolder();
    EndDialog(IDCANCEL);
}

// The reports go out on threads of their own, all at once, and the process takes them down when
// it ends; they get a few seconds together. A service that stalls, or one that fails and makes
// each report pause before its second try, does not keep the wizard from ending.
void CTessaryDlg::AwaitPendingReports() {
    static_cast<void>(Package::WaitForAllPendingEvents(std::chrono::steady_clock::now() + kReportWaitLimit));
}

void CTessaryDlg::CleanupTempFolder() {
    const auto config = ConfigurationManager::GetInstance();
    if (config->m_tempFolder.empty()) return;
    // Programs the wizard started may still run from their folders and need what lies beside
    // them; those folders are left to the next restart.
    std::vector<std::wstring> foldersInUse;
    for (const auto& page : m_pages) {
        if (const auto* downloads = dynamic_cast<const DownloadPage*>(page.get())) {
            const auto folders = downloads->FoldersInUse();
            foldersInUse.insert(foldersInUse.end(), folders.begin(), folders.end());
        }
    }
    DeleteFolderTree(config->m_tempFolder, foldersInUse);
    // The run made this folder; left empty it would only litter the temporary path, one per run.
    if (platform::FileSystem().IsDirectoryEmpty(config->m_tempFolder)) {
        static_cast<void>(platform::FileSystem().RemoveDirectory(config->m_tempFolder));
    }
}

void CTessaryDlg::DeleteFolderTree(const std::wstring& path, const std::vector<std::wstring>& foldersInUse) {
    tessary::DeleteFolderTree(path, foldersInUse);
}

}  // namespace tessary
