#include "pages/options_page.h"

#include <iterator>
#include <tuple>

#include "config/configuration_manager.h"
#include "resource.h"
#include "ui/check_state.h"

namespace tessary {
namespace {

constexpr int kOptionBoxes[] = {IDC_OPTIONS_CHECK_1, IDC_OPTIONS_CHECK_2, IDC_OPTIONS_CHECK_3};

static_assert(std::size(kOptionBoxes) == std::tuple_size_v<decltype(ConfigurationManager::m_options)>);

}  // namespace

OptionsPageBTClassic::OptionsPageBTClassic(std::shared_ptr<LanguageManager> languageManager, HWND parent)
    : CallbackPage(std::move(languageManager), IDD_OPTIONS_PAGE, parent) {}

BOOL OptionsPageBTClassic::OnInitDialog() {
    for (const int id : kOptionBoxes) ui::SetChecked(GetItem(id), true);
    AddLocalizedControl(IDC_OPTIONS_TITLE, "OPTIONS_TITLE");
    AddLocalizedControl(IDC_OPTIONS_CHECK_1, "OPTIONS_CHECK_1");
    AddLocalizedControl(IDC_OPTIONS_CHECK_2, "OPTIONS_CHECK_2");
    AddLocalizedControl(IDC_OPTIONS_CHECK_3, "OPTIONS_CHECK_3");
    AddLocalizedControl(IDC_NEXT, "BUTTON_NEXT");
    UpdateTexts();
    m_titleFont.ApplyTo(GetItem(IDC_OPTIONS_TITLE));
    return TRUE;
}

void OptionsPageBTClassic::OnNext() {
    auto config = ConfigurationManager::GetInstance();
    for (std::size_t i = 0; i < config->m_options.size(); ++i) {
        config->m_options[i] = ui::IsChecked(GetItem(kOptionBoxes[i]));
    }
    if (m_onButton) m_onButton(ButtonType::Next);
}

bool OptionsPageBTClassic::OnCommand(WORD id, WORD code, HWND control) {
    if (id == IDC_NEXT && code == BN_CLICKED) {
        OnNext();
        return true;
    }
    return IPage::OnCommand(id, code, control);
}

}  // namespace tessary
