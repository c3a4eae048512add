#pragma once
#include <windows.h>

#include "i18n/language_list.h"

namespace tessary::ui {

// The language manager's list on a drop-down combo box.
class ComboLanguageList : public LanguageList {
public:
    explicit ComboLanguageList(HWND combo) : m_combo(combo) {}
    void Reset() override;
    int Count() const override;
    void Add(const std::wstring& text) override;
    void Select(int index) override;
    void Hide() override;
    std::optional<std::wstring> SelectedText() const override;

private:
    HWND m_combo;
};

}  // namespace tessary::ui
