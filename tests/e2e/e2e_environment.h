#pragma once
#include <string>

#include "driver/wizard_driver.h"

namespace tessary::e2e {

// The path of a wizard build made for the tests ("TessarySetup" is the shipped one).
std::wstring WizardPath(const std::wstring& name);
// A copy of a wizard build whose file name carries the tag ("TessarySetup_of-thre.exe"), so
// that the stand-in service answers it with the document of that tag (service/data/configs).
std::wstring TaggedWizardPath(const std::wstring& name, const std::wstring& tag);
// Keeps a picture of the window under the test run's screenshot folder.
void KeepScreenshot(HWND window, const std::wstring& name);

}  // namespace tessary::e2e
