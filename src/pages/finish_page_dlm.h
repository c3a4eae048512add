#pragma once
#include "app/static_from_image.h"
#include "pages/ipage.h"
#include "pages/launcher.h"

namespace tessary {

// The download flavour's last page: Finish starts the downloaded file or shows it in its folder.
class FinishPageDlm : public IPage {
public:
    FinishPageDlm(std::shared_ptr<LanguageManager> languageManager, HWND parent, Launcher launcher = ShellLauncher());

    void SetButtonCallback(ButtonCallback callback) override { m_onButton = std::move(callback); }
    void SetErrorCallback(ErrorCallback callback) override { m_onError = std::move(callback); }
    std::wstring GetName() const override { return L"FinishPageDLM"; }
    void OnNavigateToPage() override;

    void OnFinish();

protected:
    BOOL OnInitDialog() override;
    bool OnCommand(WORD id, WORD code, HWND control) override;

private:
    ButtonCallback m_onButton;
    ErrorCallback m_onError;
    HWND m_launchRadio = nullptr;
    HWND m_openFolderRadio = nullptr;
    CStaticFromImage m_image;
    Launcher m_launcher;
};

}  // namespace tessary
