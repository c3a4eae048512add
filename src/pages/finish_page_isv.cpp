#include "pages/finish_page_isv.h"

#include "config/configuration_manager.h"
#include "resource.h"

namespace tessary {
namespace {

constexpr LocalizedControl kChoiceTexts[] = {{IDC_LAUNCH_CHECKBOX, "LAUNCH_CHECKBOX"}};

}  // namespace

FinishPageIsv::FinishPageIsv(std::shared_ptr<LanguageManager> languageManager, HWND parent, Launcher launcher)
    : FinishPage(std::move(languageManager), IDD_FINISH_PAGE_ISV, parent, kChoiceTexts, IDC_LAUNCH_CHECKBOX,
                 std::move(launcher)) {}

void FinishPageIsv::StartChosen(const Launcher& launcher) {
    if (::SendMessageW(GetItem(IDC_LAUNCH_CHECKBOX), BM_GETCHECK, 0, 0) != BST_CHECKED) return;
    auto config = ConfigurationManager::GetInstance();
    // Only the program's path is written with folder placeholders; its parameters go as they are.
    const std::wstring target = ExpandBracedPlaceholders(config->m_launchTarget, config->GetPathPlaceholders());
    launcher(target, config->m_launchParameters);
}

}  // namespace tessary
