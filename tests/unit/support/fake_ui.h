#pragma once
#include <optional>
#include <string>
#include <vector>

#include "platform/ui_port.h"

namespace tessary::testing {

class FakeUi : public platform::UiPort {
public:
    struct Message {
        std::wstring text;
        std::optional<std::wstring> caption;
        unsigned style = 0;
    };
    int ShowMessage(const std::wstring& text, const std::optional<std::wstring>& caption, unsigned style) override;

    std::vector<Message> messages;
    int answer = platform::kIdOk;
};

}  // namespace tessary::testing
