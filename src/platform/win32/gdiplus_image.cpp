#include "platform/win32/gdiplus_image.h"

#include <utility>

#include "platform/win32/gdiplus_session.h"

namespace tessary::win32 {

GdiplusImage::GdiplusImage(std::unique_ptr<Gdiplus::Image> image)
    : m_image(std::move(image)), m_status(m_image ? m_image->GetLastStatus() : Gdiplus::OutOfMemory) {}

GdiplusImage::~GdiplusImage() {
    if (!GdiplusSession::WhileRunning([this] { m_image.reset(); })) (void)m_image.release();
}

void DrawImageStretched(HDC dc, const platform::Image* image, int width, int height) {
    const auto* picture = dynamic_cast<const GdiplusImage*>(image);
    if (!picture || !picture->IsOk()) return;
    Gdiplus::Graphics graphics(dc);
    graphics.DrawImage(picture->Get(), 0, 0, width, height);
}

}  // namespace tessary::win32
