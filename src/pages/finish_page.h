#pragma once
#include <span>

#include "pages/callback_page.h"
#include "pages/launcher.h"
#include "ui/static_from_image.h"

namespace tessary {

// What the two finish pages share: the picture of a completed run, the title and text, Finish,
// and the choice of what to start, which the flavour's page carries out on Finish.
class FinishPage : public CallbackPage {
public:
    // choiceTexts are the page's own constant table; defaultChoice is the control ticked at first.
    FinishPage(std::shared_ptr<LanguageManager> languageManager, int templateId, HWND parent,
               std::span<const LocalizedControl> choiceTexts, int defaultChoice, Launcher launcher);

    // The wizard cannot be minimized once it has nothing more to do.
    void OnNavigateToPage() override;

    // Starts what the user chose, then reports Finish.
    void OnFinish();

protected:
    BOOL OnInitDialog() override;
    void OnButton(ButtonType type) override;

    virtual void StartChosen(const Launcher& launcher) = 0;

private:
    std::span<const LocalizedControl> m_choiceTexts;
    int m_defaultChoice;
    CStaticFromImage m_image;
    Launcher m_launcher;
};

}  // namespace tessary
