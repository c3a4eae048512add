#pragma once
#include "pages/check_box_page.h"

namespace tessary {

// Five settings of the installed product (m_configurations).
class ConfigurationsPageBTClassic : public CheckBoxPage {
public:
    ConfigurationsPageBTClassic(std::shared_ptr<LanguageManager> languageManager, HWND parent);
};

}  // namespace tessary
