#include "ui/main_window_win32.h"

#include "app/error.h"
#include "app/message_box.h"
#include "app/message_loop_win32.h"
#include "app/registry_value.h"
#include "app/shell_win32.h"
#include "ui/placement.h"
#include "ui/resource_ids.h"

namespace tarnwick {
namespace {

constexpr UINT kShutdownIntervalMs = 3000;

// The design size of the window; the stored geometry replaces it at creation.
constexpr int kDesignWidth = 438;
constexpr int kDesignHeight = 365;

ScreenSize Screen() { return {GetSystemMetrics(SM_CXSCREEN), GetSystemMetrics(SM_CYSCREEN)}; }

}  // namespace

TMain::TMain(Application& app) : app_(app) {}

TMain::~TMain() {
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

  PopupMenu1_ = CreatePopupMenu();
  AppendMenuA(PopupMenu1_, MF_STRING, kCmdViewMainWindow, "&View Tarnwick Window");
  AppendMenuA(PopupMenu1_, MF_STRING, kCmdExitProgram, "E&xit Tarnwick");

  PlaceWindow();
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
  if (!tray_.Add(hwnd(), icon_, kApplicationTitle)) {
    // At logon the taskbar may not be there yet; "TaskbarCreated" brings the icon back.
  }
  return true;
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

void TMain::RegisterAutoStart() {
  WriteRegistryValue(*app_.registry, kRunKeyPath, kApplicationTitle, app_.AutoStartCommand(),
                     kValueKindText);
}

WindowState TMain::State() const {
  if (IsIconic(hwnd())) return WindowState::kMinimized;
  if (IsZoomed(hwnd())) return WindowState::kMaximized;
  return WindowState::kNormal;
}

WindowRect TMain::NormalBounds() const {
  RECT r{};
  if (State() == WindowState::kNormal) {
    GetWindowRect(hwnd(), &r);
  } else {
    // Minimized or maximized: the bounds the window returns to.
    WINDOWPLACEMENT wp{};
    wp.length = sizeof wp;
    GetWindowPlacement(hwnd(), &wp);
    r = wp.rcNormalPosition;
  }
  return {r.left, r.top, r.right - r.left, r.bottom - r.top};
}

bool TMain::FormCloseQuery() {
  const bool may_close = app_.flags.SessionEnding;
  if (RecordWindowOnClose(State(), NormalBounds(), app_.settings.Main)) app_.Save();
  if (!may_close) {
    if (app_.nt_family) TrimWorkingSet();
    ShowWindow(hwnd(), SW_HIDE);
  }
  return may_close;
}

void TMain::FormDestroy() { tray_.Remove(); }

void TMain::ExitProgram1Click() {
  RecordWindowOnExit(NormalBounds(), app_.settings.Main);
  app_.Save();
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
  SendMessageA(hwnd(), WM_CLOSE, 0, 0);
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
      if (wparam == kTimerShutdown) tmShutdownTimer();
      return 0;
    case WM_COMMAND:
      switch (LOWORD(wparam)) {
        case kCmdViewMainWindow:
          Details1Click();
          return 0;
        case kCmdExitProgram:
          ExitProgram1Click();
          return 0;
      }
      break;
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
