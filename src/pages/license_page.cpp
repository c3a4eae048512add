#include "pages/license_page.h"

#include <richedit.h>

#include "config/configuration_manager.h"
#include "config/ordered_substitution.h"
#include "pages/link_click.h"
#include "resource.h"
#include "ui/window_text.h"

namespace tessary {
namespace {

constexpr LocalizedControl kTexts[] = {
    {IDC_LICENSE_TITLE, "LICENSE_TITLE"}, {IDC_LICENSE_TEXT, "LICENSE_TEXT"},
    {IDC_AGREE, "BUTTON_AGREE"},          {IDC_BACK, "BUTTON_BACK"},
    {IDC_LICENSE_EULA, "LICENSE_EULA"},   {IDC_LICENSE_DISCLAIMER, "LICENSE_DISCLAIMER"}};
constexpr PageButton kButtons[] = {{IDC_AGREE, ButtonType::Next}, {IDC_BACK, ButtonType::Back}};

constexpr BoldTitlePageLayout kLayout{{L"LicensePage", IDD_LICENSE_PAGE, kButtons}, IDC_LICENSE_TITLE, kTexts};

}  // namespace

LicensePageIsv::LicensePageIsv(std::shared_ptr<LanguageManager> languageManager, HWND parent)
    : BoldTitlePage(std::move(languageManager), parent, kLayout) {}

BOOL LicensePageIsv::OnInitDialog() {
    ::SendMessageW(GetItem(IDC_LICENSE_EULA), EM_AUTOURLDETECT, TRUE, 0);
    return BoldTitlePage::OnInitDialog();
}

void LicensePageIsv::UpdateTexts() {
    IPage::UpdateTexts();
    FillLicenseLinks();
}

void LicensePageIsv::FillLicenseLinks() {
    const HWND disclaimer = GetItem(IDC_LICENSE_DISCLAIMER);
    if (!disclaimer) return;
    const auto config = ConfigurationManager::GetInstance();
    std::wstring text = ui::GetWindowTextString(disclaimer);
    text = SubstituteInOrder<wchar_t>(text, {{L"[LICENSE_TOS_URL]", config->m_productTermsUrl},
                                             {L"[LICENSE_PRIVACY_URL]", config->m_productPrivacyUrl}});
    ::SetWindowTextW(disclaimer, text.c_str());
}

bool LicensePageIsv::OnNotify(const NMHDR& header, LRESULT& result) {
    return OpenClickedLink(header, IDC_LICENSE_DISCLAIMER, result) || IPage::OnNotify(header, result);
}

}  // namespace tessary
