#pragma once
#include "pages/callback_page.h"
#include "pages/launcher.h"
#include "ui/static_from_image.h"

namespace tessary {

// The download flavour's last page: Finish starts the downloaded file or shows it in its folder.
class FinishPageDlm : public CallbackPage {
public:
    FinishPageDlm(std::shared_ptr<LanguageManager> languageManager, HWND parent, Launcher launcher = ShellLauncher());

    std::wstring GetName() const override { return L"FinishPageDLM"; }
    void OnNavigateToPage() override;

    void OnFinish();

protected:
    BOOL OnInitDialog() override;
    bool OnCommand(WORD id, WORD code, HWND control) override;

private:
    HWND m_launchRadio = nullptr;
    HWND m_openFolderRadio = nullptr;
    CStaticFromImage m_image;
    Launcher m_launcher;
};

}  // namespace tessary
