#include "ui/tray_icon_win32.h"

#include <algorithm>

namespace tarnwick {

bool TrayIcon::Add(HWND owner, HICON icon, const std::string& tip) {
  data_ = {};
  // The first layout of the record: a 64-character tip, understood by every shell.
  data_.cbSize = NOTIFYICONDATAA_V1_SIZE;
  data_.hWnd = owner;
  data_.uID = kTrayIconId;
  data_.uCallbackMessage = kTrayCallbackMessage;
  data_.hIcon = icon;
  const size_t length = std::min(tip.size(), sizeof data_.szTip - 1);
  std::copy_n(tip.begin(), length, data_.szTip);
  data_.uFlags = NIF_MESSAGE | NIF_ICON | NIF_TIP;
  return Restore();
}

bool TrayIcon::Restore() {
  if (!data_.hWnd) return false;
  shown_ = Shell_NotifyIconA(NIM_ADD, &data_) || Shell_NotifyIconA(NIM_MODIFY, &data_);
  return shown_;
}

void TrayIcon::Remove() {
  if (!data_.hWnd) return;
  data_.uFlags = 0;
  Shell_NotifyIconA(NIM_DELETE, &data_);
  data_.hWnd = nullptr;
  shown_ = false;
}

UINT TrayIcon::TaskbarCreatedMessage() {
  static const UINT message = RegisterWindowMessageA("TaskbarCreated");
  return message;
}

}  // namespace tarnwick
