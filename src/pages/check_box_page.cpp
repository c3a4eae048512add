#include "pages/check_box_page.h"

#include "ui/check_box_group.h"

namespace tessary {

BOOL CheckBoxPage::OnInitDialog() {
    ui::CheckBoxGroup(GetSafeHwnd(), m_boxes).CheckAll();
    return BoldTitlePage::OnInitDialog();
}

void CheckBoxPage::OnButton(ButtonType type) {
    if (type == ButtonType::Next) {
        ui::CheckBoxGroup(GetSafeHwnd(), m_boxes).Read(m_settings(*ConfigurationManager::GetInstance()));
    }
    ReportButton(type);
}

}  // namespace tessary
