#include "pages/link_click.h"

#include <commctrl.h>

#include "encoding/url_check.h"
#include "ui/shell_open.h"

namespace tessary {

bool OpenClickedLink(const NMHDR& header, int linkId, LRESULT& result) {
    if (header.idFrom != static_cast<UINT_PTR>(linkId) || header.code != NM_CLICK) return false;
    const auto& link = reinterpret_cast<const NMLINK&>(header);
    // Only web addresses go to the shell: a link must never start a program or open a file.
    if (IsWebAddress(link.item.szUrl)) ui::ShellOpen(link.item.szUrl, std::wstring(), SW_SHOWNORMAL);
    result = 0;
    return true;
}

}  // namespace tessary
