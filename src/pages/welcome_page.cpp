#include "pages/welcome_page.h"

#include "config/configuration_manager.h"
#include "config/wizard_type.h"
#include "resource.h"

namespace tessary {
namespace {

constexpr int kEmbeddedProductImage = 101;
constexpr PageButton kButtons[] = {{IDC_NEXT, ButtonType::Next}};
constexpr PageDefinition kPage{L"WelcomePage", IDD_WELCOME_PAGE, kButtons};

}  // namespace

WelcomePageIsv::WelcomePageIsv(std::shared_ptr<LanguageManager> languageManager, HWND parent)
    : CallbackPage(std::move(languageManager), parent, kPage) {}

BOOL WelcomePageIsv::OnInitDialog() {
    const auto config = ConfigurationManager::GetInstance();
    const bool downloadFlavour = config->m_wizardType == static_cast<int>(WizardType::Dlm);
    m_privacyLink.Attach(GetItem(IDC_PRIVACY_LINK));
    m_termsLink.Attach(GetItem(IDC_TERMS_LINK));
    m_sdkLink.Attach(GetItem(IDC_SDK_LINK));

    // The download flavour shows the picture its configuration named; the installer its own.
    m_image.Attach(GetItem(IDC_PAGE_IMAGE));
    if (downloadFlavour) {
        m_image.SetImage(config->m_productImage);
    } else {
        m_image.LoadFromResource(kEmbeddedProductImage, L"IMAGE_BLOB");
    }

    const LocalizedControl texts[] = {{IDC_WELCOME_TITLE, "WELCOME_TITLE"},
                                      {IDC_PRODUCT_TITLE, "PRODUCT_TITLE"},
                                      {IDC_WELCOME_TEXT, "WELCOME_TEXT"},
                                      {IDC_PRIVACY_LINK, "PRIVACY_LINK"},
                                      {IDC_TERMS_LINK, downloadFlavour ? "TOS_LINK" : "EULA_LINK"},
                                      {IDC_SDK_LINK, "SDK_LINK"},
                                      {IDC_NEXT, "BUTTON_NEXT"}};
    AddLocalizedControls(texts);
    UpdateTexts();
    SizeLinksToContent();
    // The configuration has loaded before this page is made, so the addresses are final.
    SetLinkUrls();
    return TRUE;
}

void WelcomePageIsv::UpdateTexts() {
    IPage::UpdateTexts();
    SizeLinksToContent();
}

void WelcomePageIsv::SizeLinksToContent() {
    m_privacyLink.SizeToContent();
    m_termsLink.SizeToContent();
    m_sdkLink.SizeToContent();
}

void WelcomePageIsv::SetLinkUrls() {
    const auto config = ConfigurationManager::GetInstance();
    m_privacyLink.SetUrl(config->m_productPrivacyUrl);
    m_termsLink.SetUrl(config->m_productTermsUrl);
    m_sdkLink.SetUrl(config->m_sdkPrivacyUrl);
}

bool WelcomePageIsv::OnCommand(WORD id, WORD code, HWND control) {
    if (m_privacyLink.OnParentCommand(id, code) || m_termsLink.OnParentCommand(id, code) ||
        m_sdkLink.OnParentCommand(id, code)) {
        return true;
    }
    return CallbackPage::OnCommand(id, code, control);
}

}  // namespace tessary
