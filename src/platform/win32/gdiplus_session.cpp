#include "platform/win32/gdiplus_session.h"

#include <objidl.h>
// objidl.h first: the GDI+ headers use IStream without including it.
#include <gdiplus.h>

namespace tessary::win32 {

GdiplusSession::GdiplusSession() {
    const Gdiplus::GdiplusStartupInput input;  // version 1, GDI+'s own background thread
    m_started = Gdiplus::GdiplusStartup(&m_token, &input, nullptr) == Gdiplus::Ok;
}

GdiplusSession::~GdiplusSession() {
    if (m_started) Gdiplus::GdiplusShutdown(m_token);
}

}  // namespace tessary::win32
