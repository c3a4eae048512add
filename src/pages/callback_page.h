#pragma once
#include "pages/ipage.h"

namespace tessary {

// A page that reports its buttons and its errors to the host: every page but the error page.
class CallbackPage : public IPage {
public:
    using IPage::IPage;

    void SetButtonCallback(ButtonCallback callback) override { m_onButton = std::move(callback); }
    void SetErrorCallback(ErrorCallback callback) override { m_onError = std::move(callback); }

protected:
    // Reports the button to the host when the command is a click on it; true when it was.
    bool ReportButton(WORD id, WORD code, int buttonId, ButtonType type) {
        if (id != buttonId || code != BN_CLICKED) return false;
        if (m_onButton) m_onButton(type);
        return true;
    }

    ButtonCallback m_onButton;
    ErrorCallback m_onError;
};

}  // namespace tessary
