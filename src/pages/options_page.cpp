#include "pages/options_page.h"

#include <iterator>
#include <tuple>

#include "resource.h"

namespace tessary {
namespace {

constexpr int kOptionBoxes[] = {IDC_OPTIONS_CHECK_1, IDC_OPTIONS_CHECK_2, IDC_OPTIONS_CHECK_3};
static_assert(std::size(kOptionBoxes) == std::tuple_size_v<decltype(ConfigurationManager::m_options)>);

constexpr LocalizedControl kTexts[] = {{IDC_OPTIONS_TITLE, "OPTIONS_TITLE"},
                                       {IDC_OPTIONS_CHECK_1, "OPTIONS_CHECK_1"},
                                       {IDC_OPTIONS_CHECK_2, "OPTIONS_CHECK_2"},
                                       {IDC_OPTIONS_CHECK_3, "OPTIONS_CHECK_3"},
                                       {IDC_NEXT, "BUTTON_NEXT"}};
constexpr PageButton kButtons[] = {{IDC_NEXT, ButtonType::Next}};

constexpr BoldTitlePageLayout kLayout{{L"OptionsPageBTClassic", IDD_OPTIONS_PAGE, kButtons}, IDC_OPTIONS_TITLE, kTexts};

}  // namespace

OptionsPageBTClassic::OptionsPageBTClassic(std::shared_ptr<LanguageManager> languageManager, HWND parent)
    : CheckBoxPage(std::move(languageManager), parent, kLayout, kOptionBoxes,
                   [](ConfigurationManager& config) -> std::span<bool> { return config.m_options; }) {}

}  // namespace tessary
