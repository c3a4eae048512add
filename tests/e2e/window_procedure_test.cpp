// A handler that throws inside a window procedure: the exception must not unwind through the
// system's code. It is reported to the diagnostics sink and the dialog's modal loop goes on.
#include <gtest/gtest.h>
#include <windows.h>

#include <stdexcept>

#include "platform/ports.h"
#include "recording_diagnostics.h"
#include "resource.h"
#include "ui/dialog.h"

namespace tessary::e2e {
namespace {

constexpr WORD kThrowingCommand = 0x7001;
constexpr WORD kEndingCommand = 0x7002;
constexpr INT_PTR kEndedByCommand = 42;

class ThrowingDialog : public ui::Dialog {
public:
    ThrowingDialog() : Dialog(IDD_ABOUTBOX, nullptr) {}

protected:
    BOOL OnInitDialog() override {
        // Queued behind each other: the second only arrives if the loop survived the first.
        ::PostMessageW(GetSafeHwnd(), WM_COMMAND, MAKEWPARAM(kThrowingCommand, BN_CLICKED), 0);
        ::PostMessageW(GetSafeHwnd(), WM_COMMAND, MAKEWPARAM(kEndingCommand, BN_CLICKED), 0);
        return TRUE;
    }
    bool OnCommand(WORD id, WORD code, HWND control) override {
        if (id == kThrowingCommand) throw std::runtime_error("the handler failed");
        if (id == kEndingCommand) {
            EndDialog(kEndedByCommand);
            return true;
        }
        return Dialog::OnCommand(id, code, control);
    }
};

TEST(WindowProcedures, AnExceptionInAHandlerIsReportedAndTheDialogGoesOn) {
    const auto recorder = std::make_shared<testing::RecordingDiagnostics>();
    auto ports = platform::CurrentPorts();
    ports.diagnostics = recorder;
    const auto previous = platform::InstallPorts(ports);

    ThrowingDialog dialog;
    EXPECT_EQ(dialog.DoModal(), kEndedByCommand);
    EXPECT_EQ(recorder->Texts(platform::DiagnosticTarget::Debugger),
              std::vector<std::string>{"Exception in dialog procedure: the handler failed"});

    platform::InstallPorts(previous);
}

}  // namespace
}  // namespace tessary::e2e
