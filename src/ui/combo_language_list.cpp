#include "ui/combo_language_list.h"

namespace tessary::ui {

void ComboLanguageList::Reset() { ::SendMessageW(m_combo, CB_RESETCONTENT, 0, 0); }

int ComboLanguageList::Count() const { return static_cast<int>(::SendMessageW(m_combo, CB_GETCOUNT, 0, 0)); }

void ComboLanguageList::Add(const std::wstring& text) {
    ::SendMessageW(m_combo, CB_ADDSTRING, 0, reinterpret_cast<LPARAM>(text.c_str()));
}

void ComboLanguageList::Select(int index) { ::SendMessageW(m_combo, CB_SETCURSEL, static_cast<WPARAM>(index), 0); }

void ComboLanguageList::Hide() { ::ShowWindow(m_combo, SW_HIDE); }

std::optional<std::wstring> ComboLanguageList::SelectedText() const {
    const auto index = ::SendMessageW(m_combo, CB_GETCURSEL, 0, 0);
    if (index == CB_ERR) return std::nullopt;
    const auto length = ::SendMessageW(m_combo, CB_GETLBTEXTLEN, static_cast<WPARAM>(index), 0);
    if (length == CB_ERR) return std::nullopt;
    std::wstring text(static_cast<std::size_t>(length) + 1, L'\0');
    const auto copied = ::SendMessageW(m_combo, CB_GETLBTEXT, static_cast<WPARAM>(index), reinterpret_cast<LPARAM>(text.data()));
    text.resize(copied == CB_ERR ? 0 : static_cast<std::size_t>(copied));
    return text;
}

}  // namespace tessary::ui
