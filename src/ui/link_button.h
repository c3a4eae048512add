#pragma once
#include <windows.h>

#include <string>

#include "platform/win32/handles.h"
#include "ui/subclassed_control.h"

namespace tessary::ui {

// A button of a dialog template drawn as a hyperlink: its text underlined in the link colour on
// the dialog's background, with a hand cursor. Clicking it opens its URL in the user's browser.
// A link without URL is hidden, since it would lead nowhere.
// Attach takes over painting of the button (an owner-drawn button of the template).
class LinkButton : public SubclassedControl {
public:
    LinkButton() : SubclassedControl("link button") {}

    void SetUrl(std::wstring url);
    const std::wstring& Url() const { return m_url; }

    // Fits the button to its text, keeping its top-left corner.
    void SizeToContent();

    // The parent hands its commands here; true when it was this link's click, which opens the URL.
    bool OnParentCommand(WORD id, WORD code) const;

protected:
    bool OnMessage(UINT message, WPARAM wParam, LPARAM lParam, LRESULT& result) override;

private:
    void Paint();
    HFONT LinkFont();

    std::wstring m_url;
    HFONT m_baseFont = nullptr;  // the control's own font, which m_linkFont underlines
    win32::GdiObject m_linkFont;
};

}  // namespace tessary::ui
