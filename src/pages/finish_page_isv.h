#pragma once
#include "app/static_from_image.h"
#include "pages/ipage.h"
#include "pages/launcher.h"

namespace tessary {

// The installer flavour's last page: Finish may start the installed product.
class FinishPageIsv : public IPage {
public:
    FinishPageIsv(std::shared_ptr<LanguageManager> languageManager, HWND parent, Launcher launcher = ShellLauncher());

    void SetButtonCallback(ButtonCallback callback) override { m_onButton = std::move(callback); }
    void SetErrorCallback(ErrorCallback callback) override { m_onError = std::move(callback); }
    std::wstring GetName() const override { return L"FinishPageISV"; }
    void OnNavigateToPage() override;

    void OnFinish();

protected:
    BOOL OnInitDialog() override;
    bool OnCommand(WORD id, WORD code, HWND control) override;

private:
    ButtonCallback m_onButton;
    ErrorCallback m_onError;
    HWND m_launchCheckbox = nullptr;
    CStaticFromImage m_image;
    Launcher m_launcher;
};

}  // namespace tessary
