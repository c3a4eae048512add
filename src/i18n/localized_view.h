#pragma once

namespace tessary {

// Anything that shows texts from the string table. The language manager calls UpdateTexts on
// every registered view after it has loaded another language.
class LocalizedView {
public:
    virtual ~LocalizedView() = default;
    virtual void UpdateTexts() = 0;
};

}  // namespace tessary
