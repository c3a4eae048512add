#pragma once
#include "ui/dialog.h"

namespace tessary {

// "About" box with the program's version.
class CAboutDlg : public ui::Dialog {
public:
    explicit CAboutDlg(HWND parent);

protected:
    BOOL OnInitDialog() override;
};

}  // namespace tessary
