#pragma once
#include "pages/callback_page.h"

namespace tessary {

// The first page: the user picks the language of the wizard. The BT variant shows texts of its
// own and keeps the choice hidden.
class LanguagePage : public CallbackPage {
public:
    LanguagePage(std::shared_ptr<LanguageManager> languageManager, HWND parent, bool btVariant = false);

    void OnLanguageChanged();

protected:
    BOOL OnInitDialog() override;
    bool OnCommand(WORD id, WORD code, HWND control) override;

private:
    bool m_btVariant;
};

// The BT family's language page.
class LanguagePageBT : public LanguagePage {
public:
    LanguagePageBT(std::shared_ptr<LanguageManager> languageManager, HWND parent)
        : LanguagePage(std::move(languageManager), parent, true) {}
};

}  // namespace tessary
