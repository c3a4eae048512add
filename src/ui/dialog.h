#pragma once
#include <windows.h>

#include "platform/win32/handles.h"

namespace tessary::ui {

// A dialog made from a template in the program's resources, modal or as a modeless child, with
// its messages dispatched to virtual handlers and an optional background colour painted behind
// the dialog and its static controls.
class Dialog {
public:
    Dialog(int templateId, HWND parent);
    virtual ~Dialog();
    Dialog(const Dialog&) = delete;
    Dialog& operator=(const Dialog&) = delete;

    // Runs the dialog modally and returns the result it ended with (-1 when it could not start).
    INT_PTR DoModal();
    // Creates the dialog as a modeless window; its OnInitDialog runs before this returns.
    bool CreateModeless();

    HWND GetSafeHwnd() const { return m_hwnd; }
    HWND GetItem(int id) const { return ::GetDlgItem(m_hwnd, id); }
    int TemplateId() const { return m_templateId; }
    void EndDialog(INT_PTR result);

    void SetBackgroundColor(COLORREF color, bool repaint = true);
    COLORREF BackgroundColor() const { return m_backgroundColor; }
    HBRUSH BackgroundBrush() const { return static_cast<HBRUSH>(m_backgroundBrush.Get()); }

protected:
    virtual BOOL OnInitDialog() { return TRUE; }
    // True when the command was handled.
    virtual bool OnCommand(WORD id, WORD code, HWND control);
    // True when handled; result is the notification's answer.
    virtual bool OnNotify(const NMHDR& header, LRESULT& result);
    // The brush behind a control (WM_CTLCOLOR*): by default the background colour behind the dialog
    // itself and its statics, the system's colours elsewhere.
    virtual HBRUSH OnCtlColor(HDC dc, HWND control, UINT type);
    virtual void OnOK() { EndDialog(IDOK); }
    virtual void OnCancel() { EndDialog(IDCANCEL); }
    // Any other message; true when handled, with its result.
    virtual bool OnMessage(UINT message, WPARAM wParam, LPARAM lParam, LRESULT& result);

    HBRUSH DefaultCtlColor(HDC dc, HWND control, UINT type);

private:
    static INT_PTR CALLBACK DialogProc(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam);
    INT_PTR Dispatch(UINT message, WPARAM wParam, LPARAM lParam);

    int m_templateId;
    HWND m_parent;
    HWND m_hwnd = nullptr;
    bool m_modal = false;
    COLORREF m_backgroundColor = 0;
    win32::GdiObject m_backgroundBrush;
};

// Control types passed to OnCtlColor, as the classic framework numbers them.
inline constexpr UINT kCtlColorMsgBox = 0;
inline constexpr UINT kCtlColorEdit = 1;
inline constexpr UINT kCtlColorListBox = 2;
inline constexpr UINT kCtlColorButton = 3;
inline constexpr UINT kCtlColorDialog = 4;
inline constexpr UINT kCtlColorScrollBar = 5;
inline constexpr UINT kCtlColorStatic = 6;

}  // namespace tessary::ui
