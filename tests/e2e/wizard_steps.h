#pragma once
// Steps and observations the page tests share: the walk to the pages they test, check boxes,
// the host's frame and menu, the progress bar, closing, and the scenario runs that follow what a
// wizard leaves behind.
#include <windows.h>

#include <functional>
#include <optional>
#include <set>
#include <string>
#include <vector>

#include "driver/wizard_driver.h"
#include "run_traces.h"

namespace tessary::e2e {

// Page controls.
inline constexpr int kLanguageCombo = 1000;
inline constexpr int kPageBand = 1002;
inline constexpr int kProductTitle = 1008;
inline constexpr int kNext = 1010;
inline constexpr int kSplashText = 1011;
inline constexpr int kSplashTitleBt = 1013;
inline constexpr int kWelcomeTitle = 1017;
inline constexpr int kWelcomeText = 1018;
inline constexpr int kLicenseTitle = 1019;
inline constexpr int kFinish = 1028;
inline constexpr int kFinishTitle = 1030;
inline constexpr int kLaunchRadio = 1031;
inline constexpr int kFinishText = 1033;
inline constexpr int kOpenFolderRadio = 1034;
inline constexpr int kClose = 1035;
inline constexpr int kErrorTitle = 1036;
inline constexpr int kErrorText = 1037;
inline constexpr int kPrivacyLink = 1039;
inline constexpr int kTermsLink = 1040;
inline constexpr int kSdkLink = 1041;
inline constexpr int kLaunchCheckbox = 1044;
inline constexpr int kLicenseDisclaimer = 1047;
inline constexpr int kAgree = 1050;
inline constexpr int kBack = 1051;
inline constexpr int kOptionBoxes[] = {1056, 1057, 1058};
inline constexpr int kConfigurationBoxes[] = {1069, 1063, 1066, 1067, 1068};
// The host's command that shows the error page with fixed texts.
inline constexpr int kShowTestError = 1038;

inline constexpr int kProductIcon = 1007;
inline constexpr int kPageImage = 1016;
inline constexpr int kAccept = 1021;
inline constexpr int kDecline = 1022;
inline constexpr int kOfferImage = 1023;
inline constexpr int kDisclaimer = 1042;
inline constexpr int kSkipAll = 1048;
inline constexpr int kProgressBar = 1043;

// The tags of the stand-in service's documents (service/data/configs/<tag>.json).
inline constexpr wchar_t kNoOffers[] = L"pg-none";       // a product, no "o"
inline constexpr wchar_t kThreeOffers[] = L"of-thre";    // three offers, the second rejected by a rule
inline constexpr wchar_t kChannelOff[] = L"ch-00xa";     // offers switched off by "ch"
inline constexpr wchar_t kEmptyTitle[] = L"ct-empt";     // "ct" empty
inline constexpr wchar_t kSkipAllOffers[] = L"of-skip";  // three plain offers
inline constexpr wchar_t kDeclineOffers[] = L"of-decl";  // the second stays away after a decline
inline constexpr wchar_t kRefusing[] = L"cl-wait";       // every request answered 500
// The download pages' documents.
inline constexpr wchar_t kFullRun[] = L"dl-full";         // a bare and a complete offer address, a decline, rules
inline constexpr wchar_t kMissingProduct[] = L"dl-404p";  // the product answered 404, two offers
inline constexpr wchar_t kBareProduct[] = L"dl-barp";     // the product's address a bare file name
inline constexpr wchar_t kProgress[] = L"dl-prog";        // a paced product, an offer without length
inline constexpr wchar_t kArchives[] = L"dl-arch";        // ZIP, ZIP with "../", 7z, a missing offer
inline constexpr wchar_t kSlowOffer[] = L"dl-slow";       // an offer that takes half a minute
inline constexpr wchar_t kInstallerOffer[] = L"iv-offr";  // one offer for the installer flavour

// Whether the control shows a picture: more than a handful of colours on screen where it is.
bool ShowsPicture(HWND control);

bool IsChecked(HWND button);
// A user's click on a check box or radio button, which toggles it and tells its page.
void ClickButton(HWND button);

bool HasMinimizeBox(HWND window);

// Waits for the language page and leaves it; the loading page follows. Use this and the walks
// below with ASSERT_NO_FATAL_FAILURE.
void LeaveLanguagePage(const WizardWindows& wizard);
// Leaves the language page and waits for the welcome page, which follows once the configuration
// has arrived.
void WalkToWelcome(const WizardWindows& wizard);
// Goes on from the welcome page to the first offer page.
void WalkToFirstOffer(const WizardWindows& wizard);
// Presses a button of the visible page and waits until another page shows (the next offer page is
// another window under the same name).
void LeavePageWith(const WizardWindows& wizard, int button);

// The states of the page's progress bar, each as it was first seen, until done holds or the time
// is up.
std::vector<ProgressState> WatchProgress(HWND page, const std::function<bool()>& done,
                                         std::chrono::milliseconds timeout = 60s);

struct CloseOutcome {
    std::optional<std::wstring> question;  // the text of the question asked, if one was
    std::optional<DWORD> exitCode;         // empty when the process did not end in time
    std::chrono::milliseconds took{};      // from the answer (or the close) to the process's end
};
// Closes the wizard as its caption button does and answers OK to the question, if one comes;
// keeps a picture of the question under the name given.
CloseOutcome CloseWizard(WizardProcess& wizard, const std::wstring& screenshot);

// A wizard started for a scenario, with what tells its run apart from earlier ones: the moment it
// started (for the service's records), the installers started since, its temporary folder. What
// is left of that folder goes once the wizard has ended.
class ScenarioRun {
    // Declared before the wizard, so it goes after the wizard has been ended.
    struct LeftoverRemoval {
        std::wstring folder;
        ~LeftoverRemoval();
    };

public:
    explicit ScenarioRun(const std::wstring& program);

    const std::string since;
    const std::set<std::wstring> foldersBefore;
    const InstallerLog installers;

private:
    LeftoverRemoval m_leftovers;

public:
    WizardProcess wizard;
    const std::wstring folder;  // empty when it could not be told apart
};

// Checks that the program of that name was started from inside the run folder, with its arguments
// after its quoted path, as the download pages start what they downloaded.
void ExpectStartedFromRunFolder(const std::vector<InstallerStart>& starts, const std::wstring& runFolder,
                                const std::wstring& name, const std::wstring& arguments);

// What a close may leave of the run folder: nothing, or - when a program started from it still
// runs - what the system is to remove at the next restart.
enum class RunFolderAfterClose { Removed, RemovedOrLeftToRestart };

// Checks what every confirmed close must leave behind: the process ended with IDCANCEL within
// the limit, the run folder gone, and the closing event 5 for exactly the packages named ("main"
// for the main product): those shown that had not reported an outcome (a terminal event) before.
void ExpectClosedCleanly(const ScenarioRun& run, const CloseOutcome& closed, const std::vector<std::string>& abandoned,
                         std::chrono::milliseconds limit = 5s,
                         RunFolderAfterClose folder = RunFolderAfterClose::Removed);

}  // namespace tessary::e2e
