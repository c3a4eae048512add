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
    ButtonCallback m_onButton;
    ErrorCallback m_onError;
};

}  // namespace tessary
