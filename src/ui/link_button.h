#pragma once
#include <windows.h>

#include <string>

#include "platform/win32/handles.h"

namespace tessary::ui {

// A button of a dialog template drawn as a hyperlink: its text underlined in the link colour on
// the dialog's background, with a hand cursor. Clicking it opens its URL in the user's browser.
// A link without URL is hidden, since it would lead nowhere.
class LinkButton {
public:
    LinkButton() = default;
    ~LinkButton();
    LinkButton(const LinkButton&) = delete;
    LinkButton& operator=(const LinkButton&) = delete;

    // Takes over painting of the button (an owner-drawn button of the template).
    void Attach(HWND button);
    HWND GetSafeHwnd() const { return m_hwnd; }

    void SetUrl(std::wstring url);
    const std::wstring& Url() const { return m_url; }

    // Fits the button to its text, keeping its top-left corner.
    void SizeToContent();

    // The parent hands its commands here; true when it was this link's click, which opens the URL.
    bool OnParentCommand(WORD id, WORD code) const;

private:
    static LRESULT CALLBACK SubclassProc(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam, UINT_PTR id,
                                         DWORD_PTR self);
    void Paint();
    HFONT LinkFont();
    void Detach();

    HWND m_hwnd = nullptr;
    std::wstring m_url;
    HFONT m_baseFont = nullptr;  // the control's own font, which m_linkFont underlines
    win32::GdiObject m_linkFont;
};

}  // namespace tessary::ui
