#pragma once
#include <span>

#include "pages/bold_title_font.h"
#include "pages/callback_page.h"

namespace tessary {

// What sets one BT page apart from the others: its template, its title, its texts and its
// buttons. Each page keeps its own as a constant.
struct BoldTitlePageLayout {
    int templateId;
    int titleId;
    std::span<const LocalizedControl> texts;
    std::span<const PageButton> buttons;
};

// A page of the BT family: its texts from the string table under a title in the heavy font.
class BoldTitlePage : public CallbackPage {
public:
    BoldTitlePage(std::shared_ptr<LanguageManager> languageManager, HWND parent, const BoldTitlePageLayout& layout)
        : CallbackPage(std::move(languageManager), layout.templateId, parent, layout.buttons),
          m_titleId(layout.titleId),
          m_texts(layout.texts) {}

protected:
    BOOL OnInitDialog() override;

private:
    int m_titleId;
    std::span<const LocalizedControl> m_texts;
    BoldTitleFont m_titleFont;
};

}  // namespace tessary
