#pragma once
#include "pages/ipage.h"
#include "ui/static_from_image.h"

namespace tessary {

// Ends a failed run: a picture, the title and text the caller passes, and Close.
class ErrorPage : public IPage {
public:
    ErrorPage(std::shared_ptr<LanguageManager> languageManager, HWND parent);

    void SetButtonCallback(ButtonCallback callback) override { m_onButton = std::move(callback); }
    // The error page cannot show an error of its own.
    void SetErrorCallback(ErrorCallback) override {}
    std::wstring GetName() const override { return L"ErrorPage"; }

    // The host writes the texts and pushes them into the controls.
    std::wstring m_title;
    std::wstring m_text;
    void UpdateData();

protected:
    BOOL OnInitDialog() override;
    bool OnCommand(WORD id, WORD code, HWND control) override;

private:
    void OnCloseButton();

    ButtonCallback m_onButton;
    CStaticFromImage m_image;
};

}  // namespace tessary
