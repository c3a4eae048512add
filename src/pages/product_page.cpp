#include "pages/product_page.h"

#include "config/configuration_manager.h"
#include "config/package.h"
#include "offers/offer_disclaimer.h"
#include "offers/offer_flow.h"
#include "pages/link_click.h"
#include "resource.h"
#include "ui/window_text.h"

namespace tessary {
namespace {

constexpr LocalizedControl kTexts[] = {{IDC_ACCEPT, "BUTTON_ACCEPT"},
                                       {IDC_DECLINE, "BUTTON_DECLINE"},
                                       {IDC_SKIP_ALL, "BUTTON_SKIP_ALL"},
                                       {IDC_DISCLAIMER, "PRODUCT_DISCLAIMER"}};
constexpr PageButton kButtons[] = {
    {IDC_ACCEPT, ButtonType::Accept}, {IDC_DECLINE, ButtonType::Decline}, {IDC_SKIP_ALL, ButtonType::SkipAll}};
constexpr PageDefinition kPage{L"ProductPage", IDD_PRODUCT_PAGE, kButtons};

}  // namespace

ProductPage::ProductPage(std::shared_ptr<LanguageManager> languageManager, std::shared_ptr<Package> package,
                         HWND parent)
    : CallbackPage(std::move(languageManager), parent, kPage), m_package(std::move(package)) {}

BOOL ProductPage::OnInitDialog() {
    const auto config = ConfigurationManager::GetInstance();
    m_pageBrush.Reset(::CreateSolidBrush(config->m_backgroundColor));
    m_skipAllButton = GetItem(IDC_SKIP_ALL);
    if (HidesSkipAll(*m_package, config->m_offerCount)) ::ShowWindow(m_skipAllButton, SW_HIDE);
    m_offerImage.Attach(GetItem(IDC_OFFER_IMAGE));
    m_offerImage.SetImage(m_package->m_image);
    AddLocalizedControls(kTexts);
    UpdateTexts();
    return TRUE;
}

void ProductPage::UpdateTexts() {
    IPage::UpdateTexts();
    FillDisclaimer();
}

void ProductPage::FillDisclaimer() {
    const HWND disclaimer = GetItem(IDC_DISCLAIMER);
    if (!disclaimer) return;
    const std::wstring text = ui::GetWindowTextString(disclaimer);
    ::SetWindowTextW(disclaimer, FillOfferDisclaimer(text, DisclaimerValuesOf(*m_package)).c_str());
}

void ProductPage::OnNavigateToPage() {
    if (m_shown) return;
    m_shown = true;
    ConfigurationManager::GetInstance()->m_shownPackages.push_back(m_package);
}

void ProductPage::OnButton(ButtonType type) {
    if (m_answered) return;
    m_answered = true;
    const auto config = ConfigurationManager::GetInstance();
    if (type == ButtonType::Accept) {
        config->m_acceptedPackages.push_back(m_package);
    } else {
        config->m_offerDeclined = true;
        m_package->ReportEvent(4, nullptr);
    }
    ReportButton(type);
}

bool ProductPage::OnNotify(const NMHDR& header, LRESULT& result) {
    return OpenClickedLink(header, IDC_DISCLAIMER, result) || CallbackPage::OnNotify(header, result);
}

HBRUSH ProductPage::OnCtlColor(HDC dc, HWND control, UINT type) {
    if (::GetDlgCtrlID(control) == IDC_DISCLAIMER) {
        ::SetBkMode(dc, TRANSPARENT);
        return static_cast<HBRUSH>(m_pageBrush.Get());
    }
    return CallbackPage::OnCtlColor(dc, control, type);
}

}  // namespace tessary
