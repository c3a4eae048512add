#pragma once
#include "app/static_from_image.h"
#include "pages/ipage.h"
#include "ui/link_button.h"

namespace tessary {

// Greets the user with the product's picture and title, and links to the product's privacy
// policy and terms and to the company's own privacy policy.
class WelcomePageIsv : public IPage {
public:
    WelcomePageIsv(std::shared_ptr<LanguageManager> languageManager, HWND parent);

    void SetButtonCallback(ButtonCallback callback) override { m_onButton = std::move(callback); }
    void SetErrorCallback(ErrorCallback callback) override { m_onError = std::move(callback); }
    std::wstring GetName() const override { return L"WelcomePage"; }
    // The links follow their texts in every language.
    void UpdateTexts() override;

    void SetLinkUrls();

protected:
    BOOL OnInitDialog() override;
    bool OnCommand(WORD id, WORD code, HWND control) override;

private:
    void SizeLinksToContent();

    ButtonCallback m_onButton;
    ErrorCallback m_onError;
    ui::LinkButton m_privacyLink;
    ui::LinkButton m_termsLink;
    ui::LinkButton m_sdkLink;
    CStaticFromImage m_image;
};

}  // namespace tessary
