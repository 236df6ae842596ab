#pragma once
// The main window as the keep-alive engine sees it: the "Not Connected" picture
// and panel 0 of the status bar.
#include <windows.h>

#include "keepalive/keepalive_engine.h"

namespace tarnwick {

class Win32KeepAliveView : public KeepAliveView {
 public:
  Win32KeepAliveView(HWND not_connected_picture, HWND status_bar)
      : picture_(not_connected_picture), status_bar_(status_bar) {}

  // The picture's own visibility: the main window itself is usually hidden in
  // the tray, which hides every child from IsWindowVisible.
  bool NotConnectedShown() const override;
  void SetStatusText(const char* text) override;

 private:
  HWND picture_;
  HWND status_bar_;
};

}  // namespace tarnwick
