#pragma once
#include "pages/bold_title_page.h"

namespace tessary {

// The BTClassic family's notice before the licence.
class WarningPageBTClassic : public BoldTitlePage {
public:
    WarningPageBTClassic(std::shared_ptr<LanguageManager> languageManager, HWND parent);
};

}  // namespace tessary
