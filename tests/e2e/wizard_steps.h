#pragma once
// Steps and observations the page tests share: what the loading page will do for them, check
// boxes, the host's frame and menu, and the run's temporary folder.
#include <windows.h>

#include <set>
#include <string>

#include "driver/wizard_driver.h"

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

// The tags of the stand-in service's documents (service/data/configs/<tag>.json).
inline constexpr wchar_t kNoOffers[] = L"pg-none";       // a product, no "o"
inline constexpr wchar_t kThreeOffers[] = L"of-thre";    // three offers, the second rejected by a rule
inline constexpr wchar_t kChannelOff[] = L"ch-00xa";     // offers switched off by "ch"
inline constexpr wchar_t kEmptyTitle[] = L"ct-empt";     // "ct" empty
inline constexpr wchar_t kSkipAllOffers[] = L"of-skip";  // three plain offers
inline constexpr wchar_t kDeclineOffers[] = L"of-decl";  // the second stays away after a decline
inline constexpr wchar_t kRefusing[] = L"cl-wait";       // every request answered 500

// Whether the control shows a picture: more than a handful of colours on screen where it is.
bool ShowsPicture(HWND control);

bool IsChecked(HWND button);
// A user's click on a check box or radio button, which toggles it and tells its page.
void ClickButton(HWND button);

bool HasMinimizeBox(HWND window);

// The run folders ("ISV*.tmp") in the temporary folder the wizards share with the tests.
std::set<std::wstring> RunTempFolders();
// The one run folder that is not among those seen before; empty when there is none.
std::wstring NewRunTempFolder(const std::set<std::wstring>& before);
// Leaves a file in the folder, as a download would, so that removing it is a real removal.
bool PutFileInto(const std::wstring& folder);
bool Exists(const std::wstring& path);
// Removes a folder with the files directly in it.
void RemoveFolder(const std::wstring& folder);

}  // namespace tessary::e2e
