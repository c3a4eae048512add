#pragma once
#include <functional>
#include <string>

namespace tessary {

// The buttons a page reports to the host.
enum class ButtonType { Next = 0, Accept = 1, Close = 2, Decline = 3, Finish = 4, Back = 5, SkipAll = 6 };

using ButtonCallback = std::function<void(ButtonType)>;
using ErrorCallback = std::function<void(const std::wstring& title, const std::wstring& text)>;

}  // namespace tessary
