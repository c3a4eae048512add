#include "pages/license_page.h"

#include <richedit.h>

#include "config/configuration_manager.h"
#include "config/ordered_substitution.h"
#include "pages/link_click.h"
#include "resource.h"
#include "ui/window_text.h"

namespace tessary {

LicensePageIsv::LicensePageIsv(std::shared_ptr<LanguageManager> languageManager, HWND parent)
    : CallbackPage(std::move(languageManager), IDD_LICENSE_PAGE, parent) {}

BOOL LicensePageIsv::OnInitDialog() {
    ::SendMessageW(GetItem(IDC_LICENSE_EULA), EM_AUTOURLDETECT, TRUE, 0);
    AddLocalizedControl(IDC_LICENSE_TITLE, "LICENSE_TITLE");
    AddLocalizedControl(IDC_LICENSE_TEXT, "LICENSE_TEXT");
    AddLocalizedControl(IDC_AGREE, "BUTTON_AGREE");
    AddLocalizedControl(IDC_BACK, "BUTTON_BACK");
    AddLocalizedControl(IDC_LICENSE_EULA, "LICENSE_EULA");
    AddLocalizedControl(IDC_LICENSE_DISCLAIMER, "LICENSE_DISCLAIMER");
    UpdateTexts();
    m_titleFont.ApplyTo(GetItem(IDC_LICENSE_TITLE));
    return TRUE;
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

bool LicensePageIsv::OnCommand(WORD id, WORD code, HWND control) {
    if (code == BN_CLICKED && (id == IDC_AGREE || id == IDC_BACK)) {
        if (m_onButton) m_onButton(id == IDC_AGREE ? ButtonType::Next : ButtonType::Back);
        return true;
    }
    return IPage::OnCommand(id, code, control);
}

}  // namespace tessary
