#include "keepalive/keepalive_view_win32.h"

#include <commctrl.h>

namespace tarnwick {

bool Win32KeepAliveView::NotConnectedShown() const {
  return (GetWindowLongA(picture_, GWL_STYLE) & WS_VISIBLE) != 0;
}

void Win32KeepAliveView::SetStatusText(const char* text) {
  SendMessageA(status_bar_, SB_SETTEXTA, 0, reinterpret_cast<LPARAM>(text));
}

}  // namespace tarnwick
