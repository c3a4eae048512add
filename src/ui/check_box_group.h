#pragma once
#include <windows.h>

#include <span>

namespace tessary::ui {

// The check boxes of a dialog that stand for one list of settings, box i for setting i. A page
// ticks them all when it is made and reads them back only when the user moves on, so that a page
// left with Back keeps what an earlier Next stored.
class CheckBoxGroup {
public:
    CheckBoxGroup(HWND dialog, std::span<const int> boxIds) : m_dialog(dialog), m_boxIds(boxIds) {}

    void CheckAll() const;
    // Setting i becomes whether box i is ticked; a box without a setting, or a setting without a
    // box, is left alone.
    void Read(std::span<bool> settings) const;

private:
    HWND m_dialog;
    std::span<const int> m_boxIds;
};

}  // namespace tessary::ui
