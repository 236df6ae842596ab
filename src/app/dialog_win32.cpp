#include "app/dialog_win32.h"

#include <exception>

#include "app/message_box.h"

namespace tarnwick {

INT_PTR CALLBACK Dialog::DialogProc(HWND hwnd, UINT message, WPARAM wparam, LPARAM lparam) {
  if (message == WM_INITDIALOG) {
    SetWindowLongPtrA(hwnd, DWLP_USER, lparam);
    reinterpret_cast<Dialog*>(lparam)->hwnd_ = hwnd;
  }
  auto* self = reinterpret_cast<Dialog*>(GetWindowLongPtrA(hwnd, DWLP_USER));
  if (!self) return FALSE;
  if (message == WM_NCDESTROY) {
    // The window may go before its object (an owner's destruction takes it along).
    SetWindowLongPtrA(hwnd, DWLP_USER, 0);
    self->hwnd_ = nullptr;
    return FALSE;
  }
  try {
    if (message == WM_DPICHANGED && self->FollowsDpiItself()) {
      if (self->dpi_override_ == 0) {
        const auto* suggested = reinterpret_cast<const RECT*>(lparam);
        SetWindowPos(hwnd, nullptr, suggested->left, suggested->top, 0, 0,
                     SWP_NOSIZE | SWP_NOZORDER | SWP_NOACTIVATE);
        self->Layout(HIWORD(wparam));
      }
      return TRUE;
    }
    return self->HandleMessage(message, wparam, lparam);
  } catch (const std::exception& e) {
    ShowErrorBox(e.what());
  } catch (...) {
    ShowErrorBox("Unexpected error.");
  }
  return TRUE;
}

}  // namespace tarnwick
