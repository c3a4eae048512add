#include "pages/finish_page_isv.h"

#include "config/configuration_manager.h"
#include "resource.h"
#include "ui/check_state.h"
#include "ui/window_style.h"

namespace tessary {

FinishPageIsv::FinishPageIsv(std::shared_ptr<LanguageManager> languageManager, HWND parent, Launcher launcher)
    : CallbackPage(std::move(languageManager), IDD_FINISH_PAGE_ISV, parent), m_launcher(std::move(launcher)) {}

BOOL FinishPageIsv::OnInitDialog() {
    m_launchCheckbox = GetItem(IDC_LAUNCH_CHECKBOX);
    m_image.Attach(GetItem(IDC_PAGE_IMAGE));
    AddLocalizedControl(IDC_FINISH_TITLE, "PAGE_FINISH_TITLE");
    AddLocalizedControl(IDC_FINISH_TEXT, "PAGE_FINISH_TEXT");
    AddLocalizedControl(IDC_FINISH, "BUTTON_FINISH");
    AddLocalizedControl(IDC_LAUNCH_CHECKBOX, "LAUNCH_CHECKBOX");
    UpdateTexts();
    ui::SetChecked(m_launchCheckbox, true);
    m_image.LoadFromResource(102, L"IMAGE_BLOB2");
    return TRUE;
}

void FinishPageIsv::OnNavigateToPage() { ui::RemoveWindowStyle(::GetParent(GetSafeHwnd()), WS_MINIMIZEBOX); }

void FinishPageIsv::OnFinish() {
    if (::SendMessageW(m_launchCheckbox, BM_GETCHECK, 0, 0) == BST_CHECKED) {
        auto config = ConfigurationManager::GetInstance();
        // Only the program's path is written with folder placeholders; its parameters go as they are.
        const std::wstring target = ExpandBracedPlaceholders(config->m_launchTarget, config->GetPathPlaceholders());
        m_launcher(target, config->m_launchParameters);
    }
    if (m_onButton) m_onButton(ButtonType::Finish);
}

bool FinishPageIsv::OnCommand(WORD id, WORD code, HWND control) {
    if (id == IDC_FINISH && code == BN_CLICKED) {
        OnFinish();
        return true;
    }
    return IPage::OnCommand(id, code, control);
}

}  // namespace tessary
