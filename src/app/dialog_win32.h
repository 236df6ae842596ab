#pragma once
// The base of the windows made from dialog templates: routes the dialog's
// messages to a virtual handler. As with Form, exceptions never leave the
// dialog procedure: they end in the application's standard error box.
#include <windows.h>

namespace tarnwick {

class Dialog {
 public:
  Dialog() = default;
  virtual ~Dialog() = default;
  Dialog(const Dialog&) = delete;
  Dialog& operator=(const Dialog&) = delete;

 protected:
  // Pass as the dialog procedure, with `this` as the creation parameter
  // (CreateDialogParamA / DialogBoxParamA).
  static INT_PTR CALLBACK DialogProc(HWND hwnd, UINT message, WPARAM wparam, LPARAM lparam);
  virtual INT_PTR HandleMessage(UINT message, WPARAM wparam, LPARAM lparam) = 0;
  // Lays the dialog out for `dpi`; called again when the window moves to a
  // screen of another DPI (unless a test fixed the DPI).
  virtual void Layout(int /*dpi*/) {}
  // Windows laid out in pixels follow a DPI change through Layout; those laid
  // out by their template in dialog units leave the change to the system.
  virtual bool FollowsDpiItself() const { return true; }

  // The dialog's window; null before WM_INITDIALOG and after WM_NCDESTROY.
  HWND hwnd_ = nullptr;
  // Non-zero: the DPI tests lay the dialog out for, whatever the screen's.
  int dpi_override_ = 0;
};

}  // namespace tarnwick
