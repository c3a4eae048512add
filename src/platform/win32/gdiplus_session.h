#pragma once
#include <windows.h>

#include <functional>

namespace tessary::win32 {

// Keeps GDI+ running for the lifetime of the object. Every GDI+ object the program makes must be
// destroyed before the session ends, so the session is the first thing made and the last to go.
class GdiplusSession {
public:
    GdiplusSession();
    // Waits for work under WhileRunning to end, then shuts GDI+ down.
    ~GdiplusSession();
    GdiplusSession(const GdiplusSession&) = delete;
    GdiplusSession& operator=(const GdiplusSession&) = delete;

    bool IsStarted() const { return m_started; }

    // Runs work while a session is running and keeps it from ending meanwhile; does nothing and
    // returns false when none is. For threads that may outlive the session, such as a picture
    // that arrives while the program ends.
    static bool WhileRunning(const std::function<void()>& work);

private:
    ULONG_PTR m_token = 0;
    bool m_started = false;
};

}  // namespace tessary::win32
