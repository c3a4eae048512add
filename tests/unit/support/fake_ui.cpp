#include "fake_ui.h"

namespace tessary::testing {

int FakeUi::ShowMessage(const std::wstring& text, const std::optional<std::wstring>& caption, unsigned style) {
    messages.push_back({text, caption, style});
    return answer;
}

}  // namespace tessary::testing
