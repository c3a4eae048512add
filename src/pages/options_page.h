#pragma once
#include "pages/check_box_page.h"

namespace tessary {

// Three options of the installation (m_options).
class OptionsPageBTClassic : public CheckBoxPage {
public:
    OptionsPageBTClassic(std::shared_ptr<LanguageManager> languageManager, HWND parent);
};

}  // namespace tessary
