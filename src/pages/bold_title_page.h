#pragma once
#include <span>

#include "pages/bold_title_font.h"
#include "pages/callback_page.h"

namespace tessary {

// A BT page's definition with its title and its texts.
struct BoldTitlePageLayout {
    PageDefinition page;
    int titleId;
    std::span<const LocalizedControl> texts;
};

// A page of the BT family: its texts from the string table under a title in the heavy font.
class BoldTitlePage : public CallbackPage {
public:
    BoldTitlePage(std::shared_ptr<LanguageManager> languageManager, HWND parent, const BoldTitlePageLayout& layout)
        : CallbackPage(std::move(languageManager), parent, layout.page),
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
