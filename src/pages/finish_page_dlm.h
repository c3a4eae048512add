#pragma once
#include "pages/finish_page.h"

namespace tessary {

// The download flavour's last page: Finish starts the downloaded file or shows it in its folder.
class FinishPageDlm : public FinishPage {
public:
    FinishPageDlm(std::shared_ptr<LanguageManager> languageManager, HWND parent, Launcher launcher = ShellLauncher());
};

}  // namespace tessary
