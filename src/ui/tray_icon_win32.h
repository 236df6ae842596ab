#pragma once
// The notification-area icon of a window: id 1, callback message WM_USER.
#include <windows.h>
#include <shellapi.h>

#include <functional>
#include <string>

#include "app/activity_reporter.h"

namespace tarnwick {

inline constexpr UINT kTrayCallbackMessage = WM_USER;  // 0x0400
inline constexpr UINT kTrayIconId = 1;
// How long a notice stays (the shell clamps it to its own bounds).
inline constexpr UINT kNoticeTimeoutMs = 10000;

// The shell's notification-area call; tests record what reaches it.
using ShellNotify = std::function<BOOL(DWORD message, NOTIFYICONDATAA* data)>;

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
  // A balloon over the icon (NIF_INFO); the shell shows it and returns at
  // once, and drops it when the icon is not there.
  bool ShowNotice(const std::string& title, const std::string& text);

  void SetShellNotify(ShellNotify notify) { notify_ = std::move(notify); }

  // The message Explorer broadcasts when the taskbar is (re)created.
  static UINT TaskbarCreatedMessage();

 private:
  NOTIFYICONDATAA data_{};
  bool shown_ = false;
  ShellNotify notify_ = Shell_NotifyIconA;
};

// The activity's notices as balloons of the main window's icon.
class TrayNotices : public Notices {
 public:
  explicit TrayNotices(TrayIcon& tray) : tray_(tray) {}
  void Show(const std::string& title, const std::string& text) override {
    tray_.ShowNotice(title, text);
  }

 private:
  TrayIcon& tray_;
};

}  // namespace tarnwick
