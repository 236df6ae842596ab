#include "ui/main_window_win32.h"

#include <commctrl.h>

#include "app/error.h"
#include "app/message_box.h"
#include "app/message_loop_win32.h"
#include "app/registry_value.h"
#include "app/shell_win32.h"
#include "app/version.h"
#include "ui/about_win32.h"
#include "ui/activity_log_options_win32.h"
#include "ui/placement.h"
#include "ui/placement_win32.h"
#include "ui/resource_ids.h"
#include "ui/welcome_win32.h"

namespace tarnwick {
namespace {

constexpr UINT kShutdownIntervalMs = 3000;
// At logon the shell may be up but too busy to take the icon: try again a while.
constexpr UINT kTrayRetryIntervalMs = 2000;
constexpr int kTrayRetries = 30;

// The design size of the window; the stored geometry replaces it at creation.
constexpr int kDesignWidth = 438;
constexpr int kDesignHeight = 365;

ScreenSize Screen() { return {GetSystemMetrics(SM_CXSCREEN), GetSystemMetrics(SM_CYSCREEN)}; }

}  // namespace

inline constexpr const char* kLogWarningTitle = "Activity log";

TMain::TMain(Application& app)
    : app_(app), reporter_(app.settings, log_, &notices_, DefaultLogPath) {
  // A log that cannot be written is told once, and only here: the work goes on.
  log_.OnWarning([this](const std::string& text) { tray_.ShowNotice(kLogWarningTitle, text); });
  app_.activity = &reporter_;
}

TMain::~TMain() {
  if (app_.activity == &reporter_) app_.activity = nullptr;
  if (PopupMenu1_) DestroyMenu(PopupMenu1_);
}

UINT TMain::ShowInstanceMessage() {
  static const UINT message = RegisterWindowMessageA("Tarnwick.ShowMainWindow");
  return message;
}

bool TMain::Create() {
  icon_ = static_cast<HICON>(LoadImageA(GetModuleHandleA(nullptr), MAKEINTRESOURCEA(kIconMain),
                                        IMAGE_ICON, 0, 0, LR_DEFAULTSIZE | LR_SHARED));
  if (!CreateForm(kMainWindowClass, kApplicationTitle, WS_OVERLAPPEDWINDOW, 0, 223, 149,
                  kDesignWidth, kDesignHeight, nullptr, nullptr, icon_)) {
    return false;
  }
  tmShutdown_ = std::make_unique<Timer>(hwnd(), kTimerShutdown, kShutdownIntervalMs);
  MainMenu1_ = CreateMainMenu();
  SetMenu(hwnd(), MainMenu1_);
  PopupMenu1_ = CreateTrayMenu();
  // The icon and its callbacks need only the window and its menus, and the icon
  // is all that a start with Windows shows: it comes before the children, which
  // take a while to build.
  AddTrayIcon();
  controls_.Create(hwnd());
  FormResize();
  watch_ = std::make_unique<MainWatch>(hwnd(), controls_, app_);
  watch_->SetUp();

  if (app_.flags.FirstStart) {
    // The default size is in 96-DPI pixels; on a first start it follows the screen's DPI.
    WindowGeometry& g = app_.settings.Main;
    g.Width = controls_.Scale(g.Width);
    g.Height = controls_.Scale(g.Height);
  }
  PlaceWindow();
  ShowAutoStartCheck();
  if (app_.flags.FirstStart) {
    RECT r;
    GetWindowRect(hwnd(), &r);
    const WindowRect centred = CentreOnScreen({0, 0, r.right - r.left, r.bottom - r.top}, Screen());
    SetWindowPos(hwnd(), nullptr, centred.left, centred.top, 0, 0, SWP_NOSIZE | SWP_NOZORDER);
    // A refused Run value must not keep the window from getting its tray icon.
    try {
      RegisterAutoStart();
    } catch (const Error& e) {
      ShowErrorBox(e.what());
    }
  }
  Report(app_.activity, Activity::kStart,
         std::string("version ") + TARNWICK_VERSION_TEXT + ", settings " + app_.settings_root);
  if (!app_.flags.FirstStart) watch_->StartTimers();
  return true;
}

void TMain::AddTrayIcon() {
  // At logon the taskbar may not be there yet ("TaskbarCreated" brings the icon
  // back when it comes) or may not answer in time (retried by a timer).
  tray_retry_ = std::make_unique<Timer>(hwnd(), kTimerTrayRetry, kTrayRetryIntervalMs);
  if (!tray_.Add(hwnd(), icon_, kApplicationTitle)) {
    tray_retries_left_ = kTrayRetries;
    tray_retry_->SetEnabled(true);
  }
}

void TMain::PlaceWindow() {
  const Placement placement = PlaceMainWindow(app_.settings.Main, Screen());
  if (placement.maximized) return;  // the normal-state bounds stay the design bounds
  const WindowRect& b = placement.bounds;
  SetWindowPos(hwnd(), nullptr, b.left, b.top, b.width, b.height,
               SWP_NOZORDER | SWP_NOACTIVATE);
}

void TMain::ShowAtStart() {
  ShowWindow(hwnd(), app_.settings.Main.Status != 0 ? SW_SHOWMAXIMIZED : SW_SHOWNORMAL);
  UpdateWindow(hwnd());
}

void TMain::FormShow() {
  if (!app_.flags.FirstStart) return;
  app_.flags.FirstStart = false;
  // The wizard runs inside the first showing, before the window appears and
  // before the start-up shows the splash, which stays on top and would cover it.
  try {
    TfrmWelcome wizard(app_);
    wizard.ShowModal(hwnd());
  } catch (const Error& e) {
    ShowErrorBox(e.what());  // however it ended, the engines start
  }
  if (!watch_) return;  // the window went with the session while the wizard showed
  // The wizard may have chosen another connection to watch.
  watch_->SelectWatchedEntry();
  watch_->StartTimers();
}

void TMain::ShowAutoStartCheck() {
  CheckMenuItem(MainMenu1_, kCmdAutoStart, app_.settings.AutoStart ? MF_CHECKED : MF_UNCHECKED);
}

void TMain::RegisterAutoStart() {
  WriteRegistryValue(*app_.registry, kRunKeyPath, kApplicationTitle, app_.AutoStartCommand(),
                     kValueKindText);
}

WindowState TMain::State() const {
  if (IsIconic(hwnd())) return WindowState::kMinimized;
  if (IsZoomed(hwnd())) return WindowState::kMaximized;
  return WindowState::kNormal;
}

WindowRect TMain::NormalBounds() const { return RestoredBoundsOf(hwnd()); }

void TMain::SaveSettings() {
  try {
    app_.Save();
  } catch (const Error& e) {
    // Inside the session query a box would hold up the end of the session: the
    // session ends as Windows asks, whatever the registry says.
    if (!in_session_query_) ShowErrorBox(e.what());
  }
}

bool TMain::FormCloseQuery() {
  const bool may_close = app_.flags.SessionEnding;
  // A failed save is shown; the window still closes as the user asked.
  if (RecordWindowOnClose(State(), NormalBounds(), app_.settings.Main)) SaveSettings();
  if (!may_close) {
    if (app_.nt_family) TrimWorkingSet();
    ShowWindow(hwnd(), SW_HIDE);
  }
  return may_close;
}

void TMain::FormDestroy() {
  Report(app_.activity, Activity::kExit, std::string("version ") + TARNWICK_VERSION_TEXT);
  tray_.Remove();
  watch_.reset();
}

void TMain::RetryTrayIcon() {
  if (tray_.Restore() || --tray_retries_left_ <= 0) tray_retry_->SetEnabled(false);
}

void TMain::FormResize() { controls_.Layout(hwnd()); }

void TMain::OnDpiChanged(int dpi, const RECT& suggested) {
  controls_.ApplyDpi(dpi);
  // The system's rectangle keeps the window the same size to the eye on the new screen.
  SetWindowPos(hwnd(), nullptr, suggested.left, suggested.top, suggested.right - suggested.left,
               suggested.bottom - suggested.top, SWP_NOZORDER | SWP_NOACTIVATE);
  FormResize();  // also when the size in pixels stayed the same
}

void TMain::Close1Click() { SendMessageA(hwnd(), WM_CLOSE, 0, 0); }

void TMain::mnuAutoStartClick() {
  app_.settings.AutoStart = !app_.settings.AutoStart;
  ShowAutoStartCheck();
  if (app_.settings.AutoStart) {
    RegisterAutoStart();
  } else {
    DeleteRegistryValue(*app_.registry, kRunKeyPath, kApplicationTitle);
  }
  app_.Save();
}

void TMain::Contents1Click() {
  const std::string help = app_.flags.ProgramDir + kHelpFileName;
  const DWORD attributes = GetFileAttributesA(help.c_str());
  if (attributes == INVALID_FILE_ATTRIBUTES || (attributes & FILE_ATTRIBUTE_DIRECTORY)) {
    RECT r;
    GetWindowRect(hwnd(), &r);
    ShowWarning("Unable to find help file: " + help, ScreenPoint{r.left, r.top});
    return;
  }
  OpenDocument(help);
}

void TMain::Support1Click() { OpenDocument(kSupportPage); }

void TMain::OtherProducts1Click() { OpenDocument(kHomePage); }

void TMain::About1Click() { ShowAboutBox(hwnd()); }

void TMain::ViewActivityLogClick() { OpenActivityLog(reporter_.LogPath()); }

void TMain::ActivityLogClick() {
  TfrmKXActivityLog dialog(app_, DefaultLogPath());
  dialog.ShowModal(hwnd());
}

void TMain::OnCommand(UINT command) {
  switch (command) {
    case kCmdViewMainWindow: Details1Click(); break;
    case kCmdExitProgram: ExitProgram1Click(); break;
    case kCmdClose: Close1Click(); break;
    case kCmdAutoStart: mnuAutoStartClick(); break;
    case kCmdContents: Contents1Click(); break;
    case kCmdSupport: Support1Click(); break;
    case kCmdOtherProducts: OtherProducts1Click(); break;
    case kCmdAbout: About1Click(); break;
    case kCmdEmailSettings: emailSettings1Click(); break;
    case kCmdReconnection: ReconnectionClick(); break;
    case kCmdIpMonitor: btnipmonitorClick(); break;
    case kCmdScheduler: dxBarLargeButton1Click(); break;
    case kCmdKeepAlive: dxKeepAliveClick(); break;
    case kCmdViewActivityLog: ViewActivityLogClick(); break;
    case kCmdActivityLog: ActivityLogClick(); break;
    default: break;
  }
}

LRESULT TMain::OnNotify(NMHDR* header) {
  // The toolbar's hints are the buttons' captions.
  if (header->code == TTN_GETDISPINFOA) {
    auto* info = reinterpret_cast<NMTTDISPINFOA*>(header);
    if (const char* text = MainControls::ToolbarText(static_cast<int>(header->idFrom))) {
      info->lpszText = const_cast<char*>(text);
    }
  }
  return 0;
}

void TMain::ExitProgram1Click() {
  RecordWindowOnExit(NormalBounds(), app_.settings.Main);
  // The user chose Exit: a failed save is shown, then the program ends.
  SaveSettings();
  TerminateApplication();
}

void TMain::Details1Click() {
  ShowWindow(hwnd(), IsIconic(hwnd()) ? SW_RESTORE : SW_SHOWNORMAL);
  SetForegroundWindow(hwnd());
}

void TMain::ShowTrayMenu() {
  POINT at;
  GetCursorPos(&at);
  // Without the foreground the menu would not close when the user clicks elsewhere.
  SetForegroundWindow(hwnd());
  TrackPopupMenu(PopupMenu1_, TPM_RIGHTBUTTON, at.x, at.y, 0, hwnd(), nullptr);
  PostMessageA(hwnd(), WM_NULL, 0, 0);
}

void TMain::IconTray(LPARAM event) {
  switch (static_cast<UINT>(event)) {
    case kTrayRightButtonDown:
      ShowTrayMenu();
      break;
    case kTrayLeftDoubleClick:
      Details1Click();
      break;
    case kTrayEndRequest:
      ShowWarning("Ending application.");
      TerminateApplication();
      break;
    default:
      break;
  }
}

void TMain::tmShutdownTimer() {
  tmShutdown_->SetEnabled(false);
  if (app_.end_process) app_.end_process();
}

LRESULT TMain::WMQUERYENDSESSION(WPARAM, LPARAM) {
  // The ordinary close query writes the settings and hides the window; then the
  // answer is yes: the program never holds up the end of the session.
  in_session_query_ = true;
  SendMessageA(hwnd(), WM_CLOSE, 0, 0);
  in_session_query_ = false;
  app_.flags.SessionEnding = true;
  return TRUE;
}

LRESULT TMain::WMENDSESSION(WPARAM wparam, LPARAM) {
  if (wparam) {
    app_.flags.SessionEnding = true;
    TerminateApplication();
    tmShutdown_->SetEnabled(true);
  } else {
    // Another program cancelled the end of the session: it goes on, and so do we.
    app_.flags.SessionEnding = false;
  }
  return 0;
}

LRESULT TMain::HandleMessage(UINT message, WPARAM wparam, LPARAM lparam) {
  switch (message) {
    case WM_CLOSE:
      // Closing only hides the window, except while the session ends.
      if (FormCloseQuery()) TerminateApplication();
      return 0;
    case WM_DESTROY:
      FormDestroy();
      return 0;
    case WM_QUERYENDSESSION:
      return WMQUERYENDSESSION(wparam, lparam);
    case WM_ENDSESSION:
      return WMENDSESSION(wparam, lparam);
    case WM_TIMER:
      if (wparam == kTimerShutdown) {
        tmShutdownTimer();
      } else if (wparam == kTimerTrayRetry) {
        RetryTrayIcon();
      } else if (watch_) {
        watch_->OnTimer(wparam);
      }
      return 0;
    case WM_SHOWWINDOW:
      if (wparam) FormShow();
      break;
    case WM_COMMAND:
      if (reinterpret_cast<HWND>(lparam) == controls_.cbConnections) {
        if (HIWORD(wparam) == CBN_SELCHANGE) watch_->cbConnectionsChange();
        return 0;
      }
      if (lparam == 0 || reinterpret_cast<HWND>(lparam) == controls_.toolbar) {
        OnCommand(LOWORD(wparam));
        return 0;
      }
      break;
    case WM_NOTIFY:
      return OnNotify(reinterpret_cast<NMHDR*>(lparam));
    case WM_SIZE:
      FormResize();
      return 0;
    case WM_DPICHANGED:
      OnDpiChanged(HIWORD(wparam), *reinterpret_cast<const RECT*>(lparam));
      return 0;
    case kTrayCallbackMessage:
      IconTray(lparam);
      return 0;
    default:
      if (message == TrayIcon::TaskbarCreatedMessage()) {
        tray_.Restore();
        return 0;
      }
      if (message == ShowInstanceMessage()) {
        Details1Click();
        return 0;
      }
      break;
  }
  return Default(message, wparam, lparam);
}

}  // namespace tarnwick
