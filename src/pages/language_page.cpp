#include "pages/language_page.h"

#include "resource.h"
#include "ui/combo_language_list.h"

namespace tessary {
namespace {

constexpr LocalizedControl kTexts[] = {{IDC_SPLASH_TEXT, "SPLASH_TEXT"}, {IDC_NEXT, "BUTTON_NEXT"}};
constexpr LocalizedControl kBtTexts[] = {
    {IDC_SPLASH_TITLE_BT, "SPLASH_TITLE_BT"}, {IDC_SPLASH_TEXT_BT, "SPLASH_TEXT_BT"}, {IDC_NEXT, "BUTTON_NEXT"}};
constexpr PageButton kButtons[] = {{IDC_NEXT, ButtonType::Next}};
constexpr PageDefinition kPage{L"LanguagePage", IDD_LANGUAGE_PAGE, kButtons};
constexpr PageDefinition kBtPage{L"LanguagePageBT", IDD_LANGUAGE_PAGE_BT, kButtons};

}  // namespace

LanguagePage::LanguagePage(std::shared_ptr<LanguageManager> languageManager, HWND parent, bool btVariant)
    : CallbackPage(std::move(languageManager), parent, btVariant ? kBtPage : kPage), m_btVariant(btVariant) {}

BOOL LanguagePage::OnInitDialog() {
    AddLocalizedControls(m_btVariant ? std::span<const LocalizedControl>(kBtTexts) : kTexts);
    ui::ComboLanguageList list(GetItem(IDC_LANGUAGE_COMBO));
    m_languageManager->FillLanguages(list);
    OnLanguageChanged();
    // Next is the default button, so Enter presses it.
    ::SendMessageW(GetSafeHwnd(), DM_SETDEFID, IDC_NEXT, 0);
    return TRUE;
}

void LanguagePage::OnLanguageChanged() {
    const ui::ComboLanguageList list(GetItem(IDC_LANGUAGE_COMBO));
    if (const auto selected = list.SelectedText()) m_languageManager->SelectLanguage(*selected);
}

bool LanguagePage::OnCommand(WORD id, WORD code, HWND control) {
    if (id == IDC_LANGUAGE_COMBO && code == CBN_SELCHANGE) {
        OnLanguageChanged();
        return true;
    }
    return CallbackPage::OnCommand(id, code, control);
}

}  // namespace tessary
