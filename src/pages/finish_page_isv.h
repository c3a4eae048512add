#pragma once
#include "pages/callback_page.h"
#include "pages/launcher.h"
#include "ui/static_from_image.h"

namespace tessary {

// The installer flavour's last page: Finish may start the installed product.
class FinishPageIsv : public CallbackPage {
public:
    FinishPageIsv(std::shared_ptr<LanguageManager> languageManager, HWND parent, Launcher launcher = ShellLauncher());

    std::wstring GetName() const override { return L"FinishPageISV"; }
    void OnNavigateToPage() override;

    void OnFinish();

protected:
    BOOL OnInitDialog() override;
    bool OnCommand(WORD id, WORD code, HWND control) override;

private:
    HWND m_launchCheckbox = nullptr;
    CStaticFromImage m_image;
    Launcher m_launcher;
};

}  // namespace tessary
