#pragma once
#include <windows.h>

#include <memory>

#include "platform/image.h"
#include "ui/subclassed_control.h"

namespace tessary {

// A static control that paints a shared picture stretched over its whole client area. It is
// bound to a static of a dialog template (Attach takes over its painting) and paints nothing while
// it has no picture.
class CStaticFromImage : public ui::SubclassedControl {
public:
    CStaticFromImage() : SubclassedControl("image control") {}

    void SetImage(std::shared_ptr<platform::Image> image);
    void LoadFromResource(int number, const wchar_t* type);
    const std::shared_ptr<platform::Image>& Image() const { return m_image; }

protected:
    bool OnMessage(UINT message, WPARAM wParam, LPARAM lParam, LRESULT& result) override;

private:
    void Paint();
    void Repaint();

    std::shared_ptr<platform::Image> m_image;
};

}  // namespace tessary
