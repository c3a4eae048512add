#include "ui/check_box_group.h"

#include <algorithm>

#include "ui/check_state.h"

namespace tessary::ui {

void CheckBoxGroup::CheckAll() const {
    for (const int id : m_boxIds) SetChecked(::GetDlgItem(m_dialog, id), true);
}

void CheckBoxGroup::Read(std::span<bool> settings) const {
    const std::size_t count = std::min(settings.size(), m_boxIds.size());
    for (std::size_t i = 0; i < count; ++i) settings[i] = IsChecked(::GetDlgItem(m_dialog, m_boxIds[i]));
}

}  // namespace tessary::ui
