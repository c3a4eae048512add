#include "e2e_environment.h"

#include <gtest/gtest.h>

#include "platform/win32/gdiplus_session.h"

namespace tessary::e2e {

std::wstring WizardPath(const std::wstring& name) { return TESSARY_WIZARD_DIR L"\\" + name + L".exe"; }

std::wstring TaggedWizardPath(const std::wstring& name, const std::wstring& tag) {
    const std::wstring tagged = TESSARY_WIZARD_DIR L"\\" + name + L"_" + tag + L".exe";
    // A copy left by an earlier test may still be held by Wine for a moment; it is the same file.
    ::CopyFileW(WizardPath(name).c_str(), tagged.c_str(), FALSE);
    return tagged;
}

void KeepScreenshot(HWND window, const std::wstring& name) {
    ::CreateDirectoryW(TESSARY_SCREENSHOT_DIR, nullptr);
    // Give the window a moment to finish painting what just changed.
    ::Sleep(300);
    EXPECT_TRUE(SaveScreenshot(window, TESSARY_SCREENSHOT_DIR L"\\" + name + L".png")) << "screenshot " << name.size();
}

}  // namespace tessary::e2e

int main(int argc, char** argv) {
    testing::InitGoogleTest(&argc, argv);
    tessary::win32::GdiplusSession gdiplus;
    return RUN_ALL_TESTS();
}
