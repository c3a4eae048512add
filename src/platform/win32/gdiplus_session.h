#pragma once
#include <windows.h>

namespace tessary::win32 {

// Keeps GDI+ running for the lifetime of the object. Every GDI+ object the program makes must be
// destroyed before the session ends, so the session is the first thing made and the last to go.
class GdiplusSession {
public:
    GdiplusSession();
    ~GdiplusSession();
    GdiplusSession(const GdiplusSession&) = delete;
    GdiplusSession& operator=(const GdiplusSession&) = delete;

    bool IsStarted() const { return m_started; }

private:
    ULONG_PTR m_token = 0;
    bool m_started = false;
};

}  // namespace tessary::win32
