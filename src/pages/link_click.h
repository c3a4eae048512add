#pragma once
#include <windows.h>

namespace tessary {

// A click on a link of a SysLink control: opens the link's URL in the user's browser when it is
// an http or https address. True when the notification was such a click from the control linkId; its answer is 0.
bool OpenClickedLink(const NMHDR& header, int linkId, LRESULT& result);

}  // namespace tessary
