#pragma once
// The notification-area icon of a window: id 1, callback message WM_USER.
#include <windows.h>
#include <shellapi.h>

#include <string>

namespace tarnwick {

inline constexpr UINT kTrayCallbackMessage = WM_USER;  // 0x0400
inline constexpr UINT kTrayIconId = 1;

class TrayIcon {
 public:
  TrayIcon() = default;
  ~TrayIcon() { Remove(); }
  TrayIcon(const TrayIcon&) = delete;
  TrayIcon& operator=(const TrayIcon&) = delete;

  // Adds the icon; an icon that is already there (Explorer kept it) is modified.
  bool Add(HWND owner, HICON icon, const std::string& tip);
  // Puts the icon back after Explorer restarted ("TaskbarCreated"), or after a
  // failed add at logon when the taskbar was not there yet.
  bool Restore();
  void Remove();
  bool Shown() const { return shown_; }

  // The message Explorer broadcasts when the taskbar is (re)created.
  static UINT TaskbarCreatedMessage();

 private:
  NOTIFYICONDATAA data_{};
  bool shown_ = false;
};

}  // namespace tarnwick
