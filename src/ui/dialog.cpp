#include "ui/dialog.h"

#include "platform/diagnostics.h"

namespace tessary::ui {
namespace {

// Messages whose answer a dialog procedure returns itself instead of through DWLP_MSGRESULT.
bool IsCtlColorMessage(UINT message) { return message >= WM_CTLCOLORMSGBOX && message <= WM_CTLCOLORSTATIC; }

bool ReturnsResultDirectly(UINT message) {
    if (IsCtlColorMessage(message)) return true;
    switch (message) {
        case WM_COMPAREITEM:
        case WM_VKEYTOITEM:
        case WM_CHARTOITEM:
        case WM_QUERYDRAGICON:
        case WM_INITDIALOG:
            return true;
        default:
            return false;
    }
}

}  // namespace

Dialog::Dialog(int templateId, HWND parent) : m_templateId(templateId), m_parent(parent) {}

Dialog::~Dialog() {
    if (m_hwnd && !m_modal) {
        ::SetWindowLongPtrW(m_hwnd, DWLP_USER, 0);
        ::DestroyWindow(m_hwnd);
    }
}

INT_PTR Dialog::DoModal() {
    m_modal = true;
    return ::DialogBoxParamW(::GetModuleHandleW(nullptr), MAKEINTRESOURCEW(m_templateId), m_parent, DialogProc,
                             reinterpret_cast<LPARAM>(this));
}

bool Dialog::CreateModeless() {
    m_modal = false;
    return ::CreateDialogParamW(::GetModuleHandleW(nullptr), MAKEINTRESOURCEW(m_templateId), m_parent, DialogProc,
                                reinterpret_cast<LPARAM>(this)) != nullptr;
}

void Dialog::EndDialog(INT_PTR result) {
    if (!m_hwnd) return;
    if (m_modal) {
        ::EndDialog(m_hwnd, result);
    } else {
        ::ShowWindow(m_hwnd, SW_HIDE);
    }
}

void Dialog::SetBackgroundColor(COLORREF color, bool repaint) {
    m_backgroundColor = color;
    m_backgroundBrush.Reset(::CreateSolidBrush(color));
    if (repaint && m_hwnd) ::InvalidateRect(m_hwnd, nullptr, TRUE);
}

bool Dialog::OnCommand(WORD id, WORD code, HWND) {
    if (code != BN_CLICKED) return false;
    if (id == IDOK) {
        OnOK();
        return true;
    }
    if (id == IDCANCEL) {
        OnCancel();
        return true;
    }
    return false;
}

bool Dialog::OnNotify(const NMHDR&, LRESULT&) { return false; }

HBRUSH Dialog::OnCtlColor(HDC dc, HWND control, UINT type) { return DefaultCtlColor(dc, control, type); }

HBRUSH Dialog::DefaultCtlColor(HDC dc, HWND, UINT type) {
    if (!m_backgroundBrush) return nullptr;
    if (type == kCtlColorDialog) return BackgroundBrush();
    if (type == kCtlColorStatic) {
        ::SetBkMode(dc, TRANSPARENT);
        return BackgroundBrush();
    }
    return nullptr;
}

bool Dialog::OnMessage(UINT, WPARAM, LPARAM, LRESULT&) { return false; }

INT_PTR CALLBACK Dialog::DialogProc(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam) {
    // GuardCallback catches whatever a handler throws and reports it to the diagnostics sink. A
    // handler that throws loses its message (the system handles it as unhandled) but not the
    // dialog: the modal loop and the other windows go on.
    return platform::GuardCallback(
        "dialog procedure",
        [&]() -> INT_PTR {
            if (message == WM_INITDIALOG) {
                auto* dialog = reinterpret_cast<Dialog*>(lParam);
                ::SetWindowLongPtrW(hwnd, DWLP_USER, lParam);
                dialog->m_hwnd = hwnd;
                return dialog->OnInitDialog();
            }
            auto* dialog = reinterpret_cast<Dialog*>(::GetWindowLongPtrW(hwnd, DWLP_USER));
            if (!dialog) return FALSE;
            // Even when the last message throws, the dialog must learn that its window is gone.
            struct ForgetWindowAtEnd {
                Dialog* dialog;
                UINT message;
                ~ForgetWindowAtEnd() {
                    if (message == WM_NCDESTROY) dialog->m_hwnd = nullptr;
                }
            } forget{dialog, message};
            return dialog->Dispatch(message, wParam, lParam);
        },
        []() -> INT_PTR { return FALSE; });
}

INT_PTR Dialog::Dispatch(UINT message, WPARAM wParam, LPARAM lParam) {
    if (IsCtlColorMessage(message)) {
        const HBRUSH brush = OnCtlColor(reinterpret_cast<HDC>(wParam), reinterpret_cast<HWND>(lParam),
                                        message - WM_CTLCOLORMSGBOX);
        return reinterpret_cast<INT_PTR>(brush);
    }
    LRESULT result = 0;
    bool handled = false;
    switch (message) {
        case WM_COMMAND:
            handled = OnCommand(LOWORD(wParam), HIWORD(wParam), reinterpret_cast<HWND>(lParam));
            break;
        case WM_NOTIFY:
            handled = OnNotify(*reinterpret_cast<const NMHDR*>(lParam), result);
            break;
        default:
            handled = OnMessage(message, wParam, lParam, result);
            break;
    }
    if (!handled) return FALSE;
    if (ReturnsResultDirectly(message)) return static_cast<INT_PTR>(result);
    ::SetWindowLongPtrW(m_hwnd, DWLP_MSGRESULT, result);
    return TRUE;
}

}  // namespace tessary::ui
