#pragma once
#include <memory>

#include "pages/callback_page.h"
#include "platform/win32/handles.h"
#include "ui/static_from_image.h"

namespace tessary {

class Package;

// One offer: its picture, a disclaimer linking to its privacy policy and terms, and Accept,
// Decline and Skip All. The page records the answer, reports a refusal and tells the host, which
// asks the offer flow where to go.
class ProductPage : public CallbackPage {
public:
    ProductPage(std::shared_ptr<LanguageManager> languageManager, std::shared_ptr<Package> package, HWND parent);

    // The offer has been shown.
    void OnNavigateToPage() override;
    // A text applied again brings the placeholders back; the offer's values follow every time.
    void UpdateTexts() override;

    const std::shared_ptr<Package>& OfferPackage() const { return m_package; }

protected:
    BOOL OnInitDialog() override;
    void OnButton(ButtonType type) override;
    bool OnNotify(const NMHDR& header, LRESULT& result) override;
    HBRUSH OnCtlColor(HDC dc, HWND control, UINT type) override;

private:
    void FillDisclaimer();

    std::shared_ptr<Package> m_package;
    CStaticFromImage m_offerImage;
    win32::GdiObject m_pageBrush;
    HWND m_skipAllButton = nullptr;
    bool m_shown = false;
    // An offer is answered once; a click queued behind the answer changes nothing.
    bool m_answered = false;
};

}  // namespace tessary
