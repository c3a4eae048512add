#include "pages/configurations_page.h"

#include <iterator>
#include <tuple>

#include "config/configuration_manager.h"
#include "resource.h"
#include "ui/check_state.h"

namespace tessary {
namespace {

// In the order of m_configurations. The first box has no text of its own: its label is a
// static beside it, which may wrap to a second line.
constexpr int kConfigurationBoxes[] = {IDC_CONFIGURATIONS_CHECK_1, IDC_CONFIGURATIONS_CHECK_2,
                                       IDC_CONFIGURATIONS_CHECK_3, IDC_CONFIGURATIONS_CHECK_4,
                                       IDC_CONFIGURATIONS_CHECK_5};

static_assert(std::size(kConfigurationBoxes) == std::tuple_size_v<decltype(ConfigurationManager::m_configurations)>);

}  // namespace

ConfigurationsPageBTClassic::ConfigurationsPageBTClassic(std::shared_ptr<LanguageManager> languageManager, HWND parent)
    : CallbackPage(std::move(languageManager), IDD_CONFIGURATIONS_PAGE, parent) {}

BOOL ConfigurationsPageBTClassic::OnInitDialog() {
    for (const int id : kConfigurationBoxes) ui::SetChecked(GetItem(id), true);
    AddLocalizedControl(IDC_CONFIGURATIONS_TITLE, "CONFIGURATIONS_TITLE");
    AddLocalizedControl(IDC_CONFIGURATIONS_SUBTITLE_1, "CONFIGURATIONS_SUBTITLE_1");
    AddLocalizedControl(IDC_CONFIGURATIONS_TEXT_1, "CONFIGURATIONS_TEXT_1");
    AddLocalizedControl(IDC_CONFIGURATIONS_CHECK_1_LABEL, "CONFIGURATIONS_CHECK_1");
    AddLocalizedControl(IDC_CONFIGURATIONS_CHECK_2, "CONFIGURATIONS_CHECK_2");
    AddLocalizedControl(IDC_CONFIGURATIONS_SUBTITLE_2, "CONFIGURATIONS_SUBTITLE_2");
    AddLocalizedControl(IDC_CONFIGURATIONS_TEXT_2, "CONFIGURATIONS_TEXT_2");
    AddLocalizedControl(IDC_CONFIGURATIONS_CHECK_3, "CONFIGURATIONS_CHECK_3");
    AddLocalizedControl(IDC_CONFIGURATIONS_CHECK_4, "CONFIGURATIONS_CHECK_4");
    AddLocalizedControl(IDC_CONFIGURATIONS_CHECK_5, "CONFIGURATIONS_CHECK_5");
    AddLocalizedControl(IDC_NEXT, "BUTTON_NEXT");
    AddLocalizedControl(IDC_BACK, "BUTTON_BACK");
    UpdateTexts();
    m_titleFont.ApplyTo(GetItem(IDC_CONFIGURATIONS_TITLE));
    return TRUE;
}

void ConfigurationsPageBTClassic::OnNext() {
    auto config = ConfigurationManager::GetInstance();
    for (std::size_t i = 0; i < config->m_configurations.size(); ++i) {
        config->m_configurations[i] = ui::IsChecked(GetItem(kConfigurationBoxes[i]));
    }
    if (m_onButton) m_onButton(ButtonType::Next);
}

bool ConfigurationsPageBTClassic::OnCommand(WORD id, WORD code, HWND control) {
    if (code != BN_CLICKED) return IPage::OnCommand(id, code, control);
    if (id == IDC_NEXT) {
        OnNext();
        return true;
    }
    if (id == IDC_BACK) {
        if (m_onButton) m_onButton(ButtonType::Back);
        return true;
    }
    return IPage::OnCommand(id, code, control);
}

}  // namespace tessary
