#pragma once
#include <windows.h>

#include "platform/win32/handles.h"

namespace tessary {

// The heavy title font of the BT pages: the title control's own font, 12 units high and of the
// greatest weight. The page holds it as long as the control shows it.
class BoldTitleFont {
public:
    void ApplyTo(HWND title);

private:
    win32::GdiObject m_font;
};

}  // namespace tessary
