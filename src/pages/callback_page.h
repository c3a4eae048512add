#pragma once
#include <span>

#include "pages/ipage.h"

namespace tessary {

// A button of a page and what a click on it reports to the host.
struct PageButton {
    int controlId;
    ButtonType type;
};

// What sets one page apart from another of its kind: the name the diagnostics and the tests know
// it by, its template and its buttons. Each page keeps its own as constants, which outlive it.
struct PageDefinition {
    const wchar_t* name;
    int templateId;
    std::span<const PageButton> buttons;
};

// A page that reports its buttons and its errors to the host: every page but the error page.
class CallbackPage : public IPage {
public:
    CallbackPage(std::shared_ptr<LanguageManager> languageManager, HWND parent, const PageDefinition& definition)
        : IPage(std::move(languageManager), definition.templateId, parent),
          m_name(definition.name),
          m_buttons(definition.buttons) {}

    std::wstring GetName() const override { return m_name; }
    void SetButtonCallback(ButtonCallback callback) override { m_onButton = std::move(callback); }
    void SetErrorCallback(ErrorCallback callback) override { m_onError = std::move(callback); }

protected:
    // A click on a button of the table. A page that stores something before it moves on does
    // that here and then reports.
    virtual void OnButton(ButtonType type) { ReportButton(type); }
    void ReportButton(ButtonType type) {
        if (m_onButton) m_onButton(type);
    }

    bool OnCommand(WORD id, WORD code, HWND control) override {
        if (code == BN_CLICKED) {
            for (const auto& [controlId, type] : m_buttons) {
                if (controlId != id) continue;
                OnButton(type);
                return true;
            }
        }
        return IPage::OnCommand(id, code, control);
    }

    ButtonCallback m_onButton;
    ErrorCallback m_onError;

private:
    const wchar_t* m_name;
    std::span<const PageButton> m_buttons;
};

}  // namespace tessary
