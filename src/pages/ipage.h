#pragma once
#include <memory>
#include <span>
#include <string>
#include <utility>
#include <vector>

#include "i18n/language_manager.h"
#include "i18n/localized_view.h"
#include "pages/button_type.h"
#include "platform/win32/handles.h"
#include "ui/dialog.h"

namespace tessary {

// A control of a page and the key of the text it shows in the chosen language.
struct LocalizedControl {
    int controlId;
    const char* key;
};

// A wizard page: a modeless child dialog placed in the host's frame, texted from the string
// table, reporting its buttons to the host.
class IPage : public ui::Dialog, public LocalizedView {
public:
    IPage(std::shared_ptr<LanguageManager> languageManager, int templateId, HWND parent);
    ~IPage() override;

    virtual void OnNavigateToPage() {}
    virtual void SetButtonCallback(ButtonCallback callback) = 0;
    virtual void SetErrorCallback(ErrorCallback callback) = 0;
    void UpdateTexts() override;
    virtual std::wstring GetName() const = 0;

protected:
    HBRUSH OnCtlColor(HDC dc, HWND control, UINT type) override;
    // Enter and Escape never close a page.
    void OnOK() override {}
    void OnCancel() override {}

    void AddLocalizedControl(int controlId, std::string key);
    // A page's table of texts, registered in its order.
    void AddLocalizedControls(std::span<const LocalizedControl> controls);

    std::shared_ptr<LanguageManager> m_languageManager;
    std::vector<std::pair<HWND, std::string>> m_localizedControls;
    win32::GdiObject m_bandBrush;
};

}  // namespace tessary
