#include "pages/bold_title_page.h"

namespace tessary {

BOOL BoldTitlePage::OnInitDialog() {
    AddLocalizedControls(m_texts);
    UpdateTexts();
    // Once: the control keeps its font when a later language changes its text.
    m_titleFont.ApplyTo(GetItem(m_titleId));
    return TRUE;
}

}  // namespace tessary
