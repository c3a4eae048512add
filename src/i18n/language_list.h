#pragma once
#include <optional>
#include <string>

namespace tessary {

// The language page's combo box as the language manager sees it.
class LanguageList {
public:
    virtual ~LanguageList() = default;
    virtual void Reset() = 0;
    virtual int Count() const = 0;
    virtual void Add(const std::wstring& text) = 0;
    virtual void Select(int index) = 0;
    virtual void Hide() = 0;
    // The text of the selected item; nullopt when nothing is selected.
    virtual std::optional<std::wstring> SelectedText() const = 0;
};

}  // namespace tessary
