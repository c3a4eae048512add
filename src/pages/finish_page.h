#pragma once
#include <span>

#include "pages/callback_page.h"
#include "pages/launcher.h"
#include "ui/static_from_image.h"

namespace tessary {

// What sets one finish page apart from the other: its name and template, the controls of its
// choice with their texts, the one ticked at first, and what Finish starts from the choice (page
// is the page's window).
struct FinishPageLayout {
    const wchar_t* name;
    int templateId;
    std::span<const LocalizedControl> choiceTexts;
    int defaultChoice;
    void (*startChosen)(HWND page, const Launcher& launcher);
};

// The last page of a run: the picture of a completed run, the title and text, the choice of what
// to start, and Finish.
class FinishPage : public CallbackPage {
public:
    FinishPage(std::shared_ptr<LanguageManager> languageManager, HWND parent, const FinishPageLayout& layout,
               Launcher launcher);

    // The wizard cannot be minimized once it has nothing more to do.
    void OnNavigateToPage() override;

    // Starts what the user chose, then reports Finish.
    void OnFinish();

protected:
    BOOL OnInitDialog() override;
    void OnButton(ButtonType type) override;

private:
    FinishPageLayout m_layout;
    CStaticFromImage m_image;
    Launcher m_launcher;
};

}  // namespace tessary
