#include "platform/win32/gdiplus_session.h"

#include <objidl.h>
// objidl.h first: the GDI+ headers use IStream without including it.
#include <gdiplus.h>

#include <atomic>

namespace tessary::win32 {
namespace {

// Sessions running, and work running under WhileRunning. A user counts itself before it looks
// at the sessions, so a session that ends after the look waits for it.
std::atomic<int> g_sessions{0};
std::atomic<int> g_users{0};

}  // namespace

GdiplusSession::GdiplusSession() {
    const Gdiplus::GdiplusStartupInput input;  // version 1, GDI+'s own background thread
    m_started = Gdiplus::GdiplusStartup(&m_token, &input, nullptr) == Gdiplus::Ok;
    if (m_started) ++g_sessions;
}

GdiplusSession::~GdiplusSession() {
    if (!m_started) return;
    --g_sessions;
    while (g_users > 0) ::Sleep(1);
    Gdiplus::GdiplusShutdown(m_token);
}

bool GdiplusSession::WhileRunning(const std::function<void()>& work) {
    ++g_users;
    struct Leave {
        ~Leave() { --g_users; }
    } leave;
    if (g_sessions <= 0) return false;
    work();
    return true;
}

}  // namespace tessary::win32
