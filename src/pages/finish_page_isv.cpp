#include "pages/finish_page_isv.h"

#include "config/configuration_manager.h"
#include "resource.h"
#include "ui/check_state.h"

namespace tessary {
namespace {

constexpr LocalizedControl kChoiceTexts[] = {{IDC_LAUNCH_CHECKBOX, "LAUNCH_CHECKBOX"}};

// Finish starts the installed product when the box is ticked. Only the program's path is written
// with folder placeholders; its parameters go as they are.
constexpr FinishPageLayout kLayout{
    L"FinishPageISV", IDD_FINISH_PAGE_ISV, kChoiceTexts, IDC_LAUNCH_CHECKBOX, [](HWND page, const Launcher& launcher) {
        if (!ui::IsTicked(::GetDlgItem(page, IDC_LAUNCH_CHECKBOX))) return;
        auto config = ConfigurationManager::GetInstance();
        launcher(ExpandBracedPlaceholders(config->m_launchTarget, config->GetPathPlaceholders()),
                 config->m_launchParameters);
    }};

}  // namespace

FinishPageIsv::FinishPageIsv(std::shared_ptr<LanguageManager> languageManager, HWND parent, Launcher launcher)
    : FinishPage(std::move(languageManager), parent, kLayout, std::move(launcher)) {}

}  // namespace tessary
