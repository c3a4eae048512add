#pragma once
#include "pages/finish_page.h"

namespace tessary {

// The installer flavour's last page: Finish may start the installed product.
class FinishPageIsv : public FinishPage {
public:
    FinishPageIsv(std::shared_ptr<LanguageManager> languageManager, HWND parent, Launcher launcher = ShellLauncher());
};

}  // namespace tessary
