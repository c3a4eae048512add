#pragma once
#include "pages/bold_title_page.h"

namespace tessary {

// The BT family's licence: a scrollable agreement, and a disclaimer whose links lead to the
// product's terms and privacy policy. Agree goes on, Back returns.
class LicensePageIsv : public BoldTitlePage {
public:
    LicensePageIsv(std::shared_ptr<LanguageManager> languageManager, HWND parent);

    // A text applied again brings its placeholders back, so the addresses follow every time.
    void UpdateTexts() override;

    // Puts the product's addresses into the disclaimer's link placeholders.
    void FillLicenseLinks();

protected:
    BOOL OnInitDialog() override;
    bool OnNotify(const NMHDR& header, LRESULT& result) override;
};

}  // namespace tessary
