#include "pages/warning_page.h"

#include "resource.h"

namespace tessary {
namespace {

constexpr LocalizedControl kTexts[] = {{IDC_WARNING_TITLE, "WARNING_TITLE"},
                                       {IDC_WARNING_SUBTITLE, "WARNING_SUBTITLE"},
                                       {IDC_WARNING_TEXT, "WARNING_TEXT"},
                                       {IDC_NEXT, "BUTTON_NEXT"},
                                       {IDC_BACK, "BUTTON_BACK"}};
constexpr PageButton kButtons[] = {{IDC_NEXT, ButtonType::Next}, {IDC_BACK, ButtonType::Back}};

constexpr BoldTitlePageLayout kLayout{{L"WarningPageBTClassic", IDD_WARNING_PAGE, kButtons}, IDC_WARNING_TITLE, kTexts};

}  // namespace

WarningPageBTClassic::WarningPageBTClassic(std::shared_ptr<LanguageManager> languageManager, HWND parent)
    : BoldTitlePage(std::move(languageManager), parent, kLayout) {}

}  // namespace tessary
