// The plumbing every subclassed control shares: a handler that throws is reported and the
// control goes on, a paint that throws is still ended, and the control and its window may end in
// either order.
#include <gtest/gtest.h>
#include <windows.h>

#include <memory>
#include <stdexcept>
#include <utility>

#include "platform/ports.h"
#include "recording_diagnostics.h"
#include "ui/device_context.h"
#include "ui/subclassed_control.h"

namespace tessary::e2e {
namespace {

// Paints through a paint scope and counts its paints in a counter that outlives it; told to, it
// fails half-way through one.
class CountingPainter : public ui::SubclassedControl {
public:
    explicit CountingPainter(int& paints) : SubclassedControl("test control"), m_paints(paints) {}

    bool failNextPaint = false;
    HDC lastPaintDc = nullptr;  // belongs to the window only while its paint lasts

protected:
    bool OnMessage(UINT message, WPARAM, LPARAM, LRESULT& result) override {
        if (message != WM_PAINT) return false;
        const ui::PaintScope paint(GetSafeHwnd());
        ++m_paints;
        lastPaintDc = ::WindowFromDC(paint.Dc()) == GetSafeHwnd() ? paint.Dc() : nullptr;
        if (std::exchange(failNextPaint, false)) throw std::runtime_error("the drawing failed");
        result = 0;
        return true;
    }

private:
    int& m_paints;
};

class SubclassProcedures : public ::testing::Test {
protected:
    void SetUp() override {
        auto ports = platform::CurrentPorts();
        ports.diagnostics = m_diagnostics;
        m_previous = platform::InstallPorts(ports);
    }
    void TearDown() override { platform::InstallPorts(m_previous); }

    static HWND MakeStatic() {
        return ::CreateWindowExW(0, L"STATIC", L"control", WS_POPUP | WS_VISIBLE, 0, 0, 120, 40, nullptr, nullptr,
                                 nullptr, nullptr);
    }
    // Invalidates the whole window and has it painted at once.
    static void Repaint(HWND window) {
        ::InvalidateRect(window, nullptr, FALSE);
        ::UpdateWindow(window);
    }
    static bool NeedsPainting(HWND window) { return ::GetUpdateRect(window, nullptr, FALSE) != FALSE; }

    std::vector<std::string> Reported() const { return m_diagnostics->Texts(platform::DiagnosticTarget::Debugger); }

    std::shared_ptr<tessary::testing::RecordingDiagnostics> m_diagnostics =
        std::make_shared<tessary::testing::RecordingDiagnostics>();
    platform::Ports m_previous;
    int m_paints = 0;
};

TEST_F(SubclassProcedures, APaintThatThrowsIsReportedEndedAndTheNextPaintComes) {
    const HWND window = MakeStatic();
    CountingPainter control(m_paints);
    control.Attach(window);
    ::ValidateRect(window, nullptr);

    control.failNextPaint = true;
    Repaint(window);
    EXPECT_EQ(m_paints, 1);
    EXPECT_EQ(Reported(), std::vector<std::string>{"Exception in test control subclass procedure: the drawing failed"});
    ASSERT_NE(control.lastPaintDc, nullptr);
    EXPECT_EQ(::WindowFromDC(control.lastPaintDc), nullptr) << "the paint that threw still gave its context back";
    EXPECT_FALSE(NeedsPainting(window)) << "a paint that threw still validated the window";

    Repaint(window);
    EXPECT_EQ(m_paints, 2);
    EXPECT_EQ(Reported().size(), 1u);
    EXPECT_FALSE(NeedsPainting(window));
    ::DestroyWindow(window);
}

TEST_F(SubclassProcedures, AControlAndItsWindowMayEndInEitherOrder) {
    {
        // The window first: the control forgets it and has nothing to let go of later.
        CountingPainter control(m_paints);
        control.Attach(MakeStatic());
        ASSERT_NE(control.GetSafeHwnd(), nullptr);
        ::DestroyWindow(control.GetSafeHwnd());
        EXPECT_EQ(control.GetSafeHwnd(), nullptr);
    }
    // The control first: the window goes back to its own procedure and never reaches the control.
    const HWND window = MakeStatic();
    {
        CountingPainter control(m_paints);
        control.Attach(window);
        Repaint(window);
        EXPECT_EQ(m_paints, 1);
    }
    Repaint(window);
    EXPECT_EQ(m_paints, 1);
    EXPECT_TRUE(Reported().empty());
    ::DestroyWindow(window);
}

TEST_F(SubclassProcedures, AttachingAnotherWindowLetsTheFirstGo) {
    const HWND first = MakeStatic();
    const HWND second = MakeStatic();
    CountingPainter control(m_paints);
    control.Attach(first);
    control.Attach(second);
    Repaint(first);
    EXPECT_EQ(m_paints, 0);
    Repaint(second);
    EXPECT_EQ(m_paints, 1);
    ::DestroyWindow(first);
    ::DestroyWindow(second);
}

}  // namespace
}  // namespace tessary::e2e
