#pragma once
#include "pages/callback_page.h"
#include "ui/link_button.h"
#include "ui/static_from_image.h"

namespace tessary {

// Greets the user with the product's picture and title, and links to the product's privacy
// policy and terms and to the company's own privacy policy.
class WelcomePageIsv : public CallbackPage {
public:
    WelcomePageIsv(std::shared_ptr<LanguageManager> languageManager, HWND parent);

    // The links follow their texts in every language.
    void UpdateTexts() override;

    void SetLinkUrls();

protected:
    BOOL OnInitDialog() override;
    bool OnCommand(WORD id, WORD code, HWND control) override;

private:
    void SizeLinksToContent();

    ui::LinkButton m_privacyLink;
    ui::LinkButton m_termsLink;
    ui::LinkButton m_sdkLink;
    CStaticFromImage m_image;
};

}  // namespace tessary
