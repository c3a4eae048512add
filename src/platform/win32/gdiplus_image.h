#pragma once
#include <windows.h>
#include <objidl.h>
// objidl.h first: the GDI+ headers use IStream without including it.
#include <gdiplus.h>

#include <memory>

#include "platform/image.h"

namespace tessary::win32 {

// A picture decoded by GDI+. Holders share it; the last one to let go destroys the GDI+ object,
// which must happen while GDI+ is still running (see GdiplusSession).
class GdiplusImage : public platform::Image {
public:
    explicit GdiplusImage(std::unique_ptr<Gdiplus::Image> image);
    // A picture outliving GDI+ (held by a thread the program did not wait for) is left to the
    // end of the process instead of being destroyed without GDI+.
    ~GdiplusImage() override;
    GdiplusImage(const GdiplusImage&) = delete;
    GdiplusImage& operator=(const GdiplusImage&) = delete;

    Gdiplus::Image* Get() const { return m_image.get(); }
    // GDI+ forgets its status once it has been read, so the decoder's verdict is kept here.
    Gdiplus::Status GetStatus() const { return m_status; }
    bool IsOk() const { return m_status == Gdiplus::Ok; }

private:
    std::unique_ptr<Gdiplus::Image> m_image;
    Gdiplus::Status m_status;
};

// Draws the picture over the whole width x height area at the origin of the device context,
// stretched, its transparent parts leaving what is already there. Draws nothing when there is no
// picture or it could not be decoded.
void DrawImageStretched(HDC dc, const platform::Image* image, int width, int height);

}  // namespace tessary::win32
