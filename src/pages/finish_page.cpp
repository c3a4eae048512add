#include "pages/finish_page.h"

#include "resource.h"
#include "ui/check_state.h"
#include "ui/window_style.h"

namespace tessary {
namespace {

constexpr int kCompletedImage = 102;
constexpr LocalizedControl kTexts[] = {
    {IDC_FINISH_TITLE, "PAGE_FINISH_TITLE"}, {IDC_FINISH_TEXT, "PAGE_FINISH_TEXT"}, {IDC_FINISH, "BUTTON_FINISH"}};
constexpr PageButton kButtons[] = {{IDC_FINISH, ButtonType::Finish}};

}  // namespace

FinishPage::FinishPage(std::shared_ptr<LanguageManager> languageManager, HWND parent, const FinishPageLayout& layout,
                       Launcher launcher)
    : CallbackPage(std::move(languageManager), parent, {layout.name, layout.templateId, kButtons}),
      m_layout(layout),
      m_launcher(std::move(launcher)) {}

BOOL FinishPage::OnInitDialog() {
    m_image.Attach(GetItem(IDC_PAGE_IMAGE));
    AddLocalizedControls(kTexts);
    AddLocalizedControls(m_layout.choiceTexts);
    UpdateTexts();
    ui::SetChecked(GetItem(m_layout.defaultChoice), true);
    m_image.LoadFromResource(kCompletedImage, L"IMAGE_BLOB2");
    return TRUE;
}

void FinishPage::OnNavigateToPage() { ui::RemoveWindowStyle(::GetParent(GetSafeHwnd()), WS_MINIMIZEBOX); }

void FinishPage::OnButton(ButtonType type) {
    if (type == ButtonType::Finish) OnFinish();
}

void FinishPage::OnFinish() {
    m_layout.startChosen(GetSafeHwnd(), m_launcher);
    ReportButton(ButtonType::Finish);
}

}  // namespace tessary
