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
  shown_ = notify_(NIM_ADD, &data_) || notify_(NIM_MODIFY, &data_);
  return shown_;
}

bool TrayIcon::ShowNotice(const std::string& title, const std::string& text) {
  if (!shown_) return false;
  NOTIFYICONDATAA notice = data_;
  // The balloon needs the second layout of the record; the icon keeps the first.
  notice.cbSize = NOTIFYICONDATAA_V2_SIZE;
  notice.uFlags = NIF_INFO;
  auto copy = [](const std::string& from, char* to, size_t size) {
    const size_t length = std::min(from.size(), size - 1);
    std::copy_n(from.begin(), length, to);
    to[length] = '\0';
  };
  copy(title, notice.szInfoTitle, sizeof notice.szInfoTitle);
  copy(text, notice.szInfo, sizeof notice.szInfo);
  notice.dwInfoFlags = NIIF_INFO;
  notice.uTimeout = kNoticeTimeoutMs;
  return notify_(NIM_MODIFY, &notice) != FALSE;
}

void TrayIcon::Remove() {
  if (!data_.hWnd) return;
  data_.uFlags = 0;
  notify_(NIM_DELETE, &data_);
  data_.hWnd = nullptr;
  shown_ = false;
}

UINT TrayIcon::TaskbarCreatedMessage() {
  static const UINT message = RegisterWindowMessageA("TaskbarCreated");
  return message;
}

}  // namespace tarnwick
