#include "pages/configurations_page.h"

#include <iterator>
#include <tuple>

#include "resource.h"

namespace tessary {
namespace {

// In the order of m_configurations. The first box has no text of its own: its label is a
// static beside it, which may wrap to a second line.
constexpr int kConfigurationBoxes[] = {IDC_CONFIGURATIONS_CHECK_1, IDC_CONFIGURATIONS_CHECK_2,
                                       IDC_CONFIGURATIONS_CHECK_3, IDC_CONFIGURATIONS_CHECK_4,
                                       IDC_CONFIGURATIONS_CHECK_5};
static_assert(std::size(kConfigurationBoxes) == std::tuple_size_v<decltype(ConfigurationManager::m_configurations)>);

constexpr LocalizedControl kTexts[] = {{IDC_CONFIGURATIONS_TITLE, "CONFIGURATIONS_TITLE"},
                                       {IDC_CONFIGURATIONS_SUBTITLE_1, "CONFIGURATIONS_SUBTITLE_1"},
                                       {IDC_CONFIGURATIONS_TEXT_1, "CONFIGURATIONS_TEXT_1"},
                                       {IDC_CONFIGURATIONS_CHECK_1_LABEL, "CONFIGURATIONS_CHECK_1"},
                                       {IDC_CONFIGURATIONS_CHECK_2, "CONFIGURATIONS_CHECK_2"},
                                       {IDC_CONFIGURATIONS_SUBTITLE_2, "CONFIGURATIONS_SUBTITLE_2"},
                                       {IDC_CONFIGURATIONS_TEXT_2, "CONFIGURATIONS_TEXT_2"},
                                       {IDC_CONFIGURATIONS_CHECK_3, "CONFIGURATIONS_CHECK_3"},
                                       {IDC_CONFIGURATIONS_CHECK_4, "CONFIGURATIONS_CHECK_4"},
                                       {IDC_CONFIGURATIONS_CHECK_5, "CONFIGURATIONS_CHECK_5"},
                                       {IDC_NEXT, "BUTTON_NEXT"},
                                       {IDC_BACK, "BUTTON_BACK"}};
constexpr PageButton kButtons[] = {{IDC_NEXT, ButtonType::Next}, {IDC_BACK, ButtonType::Back}};

constexpr BoldTitlePageLayout kLayout{
    {L"ConfigurationsPageBTClassic", IDD_CONFIGURATIONS_PAGE, kButtons}, IDC_CONFIGURATIONS_TITLE, kTexts};

}  // namespace

ConfigurationsPageBTClassic::ConfigurationsPageBTClassic(std::shared_ptr<LanguageManager> languageManager, HWND parent)
    : CheckBoxPage(std::move(languageManager), parent, kLayout, kConfigurationBoxes,
                   [](ConfigurationManager& config) -> std::span<bool> { return config.m_configurations; }) {}

}  // namespace tessary
