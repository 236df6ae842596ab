#pragma once
// The main window `TMain`: the program's one top-level window. Closing it hides
// it in the tray; the program ends by Exit, by the tray's end request, or with
// the Windows session.
#include <windows.h>

#include <memory>

#include "app/activity_log_win32.h"
#include "app/activity_reporter.h"
#include "app/application.h"
#include "app/timer_win32.h"
#include "app/form_win32.h"
#include "ui/main_controls_win32.h"
#include "ui/main_menu_win32.h"
#include "ui/main_watch_win32.h"
#include "ui/tray_icon_win32.h"

namespace tarnwick {

inline constexpr const char* kMainWindowClass = "TarnwickMain";

// The maker's pages of the Links menu.
inline constexpr const char* kSupportPage = "http://www.example.com/tarnwick/support/";
inline constexpr const char* kHomePage = "http://www.example.com/";
inline constexpr const char* kHelpFileName = "tarnwick.html";

// Tray callback events the window acts on (the mouse message in lParam).
enum TrayEvent : UINT {
  kTrayEndRequest = 0x0011,  // another program asks this one to end
  kTrayLeftDoubleClick = WM_LBUTTONDBLCLK,
  kTrayRightButtonDown = WM_RBUTTONDOWN,
};

class TMain : public Form {
 public:
  explicit TMain(Application& app);
  ~TMain() override;

  // Creates the window (FormCreate) without showing it.
  bool Create();
  // Shows the window as the start-up does: maximized when it was last closed so.
  void ShowAtStart();
  // The first showing: on a first start the engines start only now.
  void FormShow();

  // Handlers, public so that tests can drive them as the messages would.
  bool FormCloseQuery();
  void FormDestroy();
  void ExitProgram1Click();
  void Details1Click();
  void IconTray(LPARAM event);
  void tmShutdownTimer();
  void Close1Click();
  void mnuAutoStartClick();
  void Contents1Click();
  void Support1Click();
  void OtherProducts1Click();
  void About1Click();
  void ViewActivityLogClick();
  void ActivityLogClick();
  void emailSettings1Click();
  void ReconnectionClick();
  void btnipmonitorClick();
  void dxBarLargeButton1Click();
  void dxKeepAliveClick();
  void FormResize();
  // The window moved to a screen of another DPI: `suggested` is the system's
  // rectangle for it there.
  void OnDpiChanged(int dpi, const RECT& suggested);

  Timer& tmShutdown() { return *tmShutdown_; }
  TrayIcon& Tray() { return tray_; }
  ActivityReporter& Reporter() { return reporter_; }
  const MainControls& Controls() const { return controls_; }
  MainWatch& Watch() { return *watch_; }
  HMENU MainMenu1() const { return MainMenu1_; }

  // Posted by a second instance: bring this window to the front.
  static UINT ShowInstanceMessage();

 private:
  LRESULT HandleMessage(UINT message, WPARAM wparam, LPARAM lparam) override;
  LRESULT WMQUERYENDSESSION(WPARAM wparam, LPARAM lparam);
  LRESULT WMENDSESSION(WPARAM wparam, LPARAM lparam);
  void PlaceWindow();
  void RegisterAutoStart();
  void ShowAutoStartCheck();
  void OnCommand(UINT command);
  LRESULT OnNotify(NMHDR* header);
  void AddTrayIcon();
  void ShowTrayMenu();
  void RetryTrayIcon();
  WindowState State() const;
  WindowRect NormalBounds() const;
  // Writes the settings on closing and Exit; a failure is shown, except while
  // Windows asks whether the session may end.
  void SaveSettings();

  Application& app_;
  std::unique_ptr<Timer> tmShutdown_;
  std::unique_ptr<Timer> tray_retry_;
  int tray_retries_left_ = 0;
  bool in_session_query_ = false;
  TrayIcon tray_;
  // The activity log and the tray notices; the engines hold app_.activity.
  Win32LogFiles log_files_;
  Win32WallClock wall_clock_;
  ActivityLog log_{log_files_, wall_clock_};
  TrayNotices notices_{tray_};
  ActivityReporter reporter_;
  HICON icon_ = nullptr;
  HMENU PopupMenu1_ = nullptr;
  HMENU MainMenu1_ = nullptr;  // owned by the window once set
  MainControls controls_;
  std::unique_ptr<MainWatch> watch_;
};

}  // namespace tarnwick
