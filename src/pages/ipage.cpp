#include "pages/ipage.h"

#include "config/configuration_manager.h"
#include "resource.h"
#include "ui/window_text.h"

namespace tessary {

IPage::IPage(std::shared_ptr<LanguageManager> languageManager, int templateId, HWND parent)
    : ui::Dialog(templateId, parent),
      m_languageManager(std::move(languageManager)),
      m_bandBrush(::CreateSolidBrush(ConfigurationManager::GetInstance()->m_accentColor)) {
    m_languageManager->RegisterPage(this);
}

IPage::~IPage() { m_languageManager->UnregisterPage(this); }

void IPage::UpdateTexts() {
    for (const auto& [control, key] : m_localizedControls) {
        if (!::IsWindow(control)) continue;
        const std::wstring text = m_languageManager->GetText(key);
        // A key without text keeps whatever the control shows, the template's text at first.
        if (!text.empty()) ui::SetWindowTextIfChanged(control, text);
    }
}

HBRUSH IPage::OnCtlColor(HDC dc, HWND control, UINT type) {
    if (::GetDlgCtrlID(control) == IDC_PAGE_BAND) {
        ::SetBkMode(dc, TRANSPARENT);
        return static_cast<HBRUSH>(m_bandBrush.Get());
    }
    return DefaultCtlColor(dc, control, type);
}

void IPage::AddLocalizedControl(int controlId, std::string key) {
    m_localizedControls.emplace_back(GetItem(controlId), std::move(key));
}

void IPage::AddLocalizedControls(std::span<const LocalizedControl> controls) {
    for (const auto& [controlId, key] : controls) AddLocalizedControl(controlId, key);
}

}  // namespace tessary
