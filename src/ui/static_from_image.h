#pragma once
#include <windows.h>

#include <memory>

#include "platform/image.h"

namespace tessary {

// A static control that paints a shared picture stretched over its whole client area. It is
// bound to a static of a dialog template and paints nothing while it has no picture.
class CStaticFromImage {
public:
    CStaticFromImage() = default;
    ~CStaticFromImage();
    CStaticFromImage(const CStaticFromImage&) = delete;
    CStaticFromImage& operator=(const CStaticFromImage&) = delete;

    // Takes over painting of the control.
    void Attach(HWND control);
    HWND GetSafeHwnd() const { return m_hwnd; }

    void SetImage(std::shared_ptr<platform::Image> image);
    void LoadFromResource(int number, const wchar_t* type);
    const std::shared_ptr<platform::Image>& Image() const { return m_image; }

private:
    static LRESULT CALLBACK SubclassProc(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam, UINT_PTR id,
                                         DWORD_PTR self);
    void Paint();
    void Detach();

    HWND m_hwnd = nullptr;
    std::shared_ptr<platform::Image> m_image;
};

}  // namespace tessary
