#include "ui/reconnecting_window_win32.h"

#include "app/dpi_win32.h"
#include "app/shell_win32.h"
#include "ui/reconnecting_ids.h"
#include "ui/placement_win32.h"
#include "ui/resource_ids.h"

namespace tarnwick {
namespace {

// Fixed dialog border, no sizing and no maximize; minimizable, because the
// window opens minimized in the taskbar and may be sent back there.
constexpr DWORD kStyle = WS_POPUP | WS_CAPTION | WS_SYSMENU | WS_MINIMIZEBOX | WS_CLIPCHILDREN;
// Its own taskbar button: the main window is usually hidden in the tray.
constexpr DWORD kExStyle = WS_EX_DLGMODALFRAME | WS_EX_WINDOWEDGE | WS_EX_APPWINDOW;

// The layout in 96-DPI pixels of the client area.
constexpr int kClientWidth = 311;
constexpr int kClientHeight = 110;
struct Box {
  int left, top, width, height;
};
constexpr Box kLabel1Box{8, 8, 300, 38};
constexpr Box kLabel2Box{8, 48, 40, 16};
constexpr Box kStatusBox{50, 48, 255, 25};
constexpr Box kButton1Box{112, 80, 105, 25};
constexpr int kFontPoints = 8;

int Scale(int pixels, int dpi) {
  return MulDiv(pixels, dpi, 96);
}

SIZE OuterSize(int dpi) {
  RECT r{0, 0, Scale(kClientWidth, dpi), Scale(kClientHeight, dpi)};
  AdjustWindowRectEx(&r, kStyle, FALSE, kExStyle);
  return {r.right - r.left, r.bottom - r.top};
}

HFONT CreateDialogFont(int dpi, bool bold) {
  LOGFONTA face{};
  face.lfHeight = -MulDiv(kFontPoints, dpi, 72);
  face.lfWeight = bold ? FW_BOLD : FW_NORMAL;
  face.lfCharSet = DEFAULT_CHARSET;
  face.lfQuality = DEFAULT_QUALITY;
  lstrcpynA(face.lfFaceName, "MS Shell Dlg", LF_FACESIZE);
  return CreateFontIndirectA(&face);
}

void Place(HWND child, const Box& box, int dpi, HFONT font) {
  MoveWindow(child, Scale(box.left, dpi), Scale(box.top, dpi), Scale(box.width, dpi),
             Scale(box.height, dpi), TRUE);
  SendMessageA(child, WM_SETFONT, reinterpret_cast<WPARAM>(font), TRUE);
}

}  // namespace

TfrmReconnecting::TfrmReconnecting(Application& app, WatchState& watch, ReconnectHost& host,
                                   PumpingSleeper& pump, const Clock& clock,
                                   bool windows2000_or_later)
    : loop_(ReconnectLoopDeps{app.settings, watch, *this, *this, host, pump, clock,
                              windows2000_or_later, app.activity}) {
  DialUp1_.DialMode = dmAsync;
  DialUp1_.SetLanguage(ralgEnglish);
  DialUp1_.SetMessagePump([&pump] { pump.ProcessMessages(); });
  DialUp1_.SetDialGuard([this] { return loop_.Stopping(); });
  DialUp1_.OnAsyncEvent = [this](TDialUp&, int state, int error, const std::string& text) {
    loop_.DialUp1AsyncEvent(state, error, text);
  };
  DialUp1_.OnError = [this](TDialUp&, int, const std::string& text) { loop_.DialUp1Error(text); };
}

TfrmReconnecting::~TfrmReconnecting() {
  // The children go before the fonts they use.
  Timer1_.reset();
  if (hwnd()) DestroyWindow(hwnd());
}

bool TfrmReconnecting::Create(const WindowRect& main_bounds) {
  const SIZE size = OuterSize(SystemDpi());
  const ScreenSize screen = PrimaryScreen();
  const WindowRect at = PlaceDialogOver(main_bounds, size.cx, size.cy, screen);
  const HICON icon =
      static_cast<HICON>(LoadImageA(GetModuleHandleA(nullptr), MAKEINTRESOURCEA(kIconMain),
                                    IMAGE_ICON, 0, 0, LR_DEFAULTSIZE | LR_SHARED));
  if (!CreateForm(kReconnectingWindowClass, kReconnectingCaption, kStyle, kExStyle, at.left, at.top,
                  size.cx, size.cy, nullptr, nullptr, icon)) {
    return false;
  }
  CreateChildren();
  dpi_ = 0;
  Layout(WindowDpi(hwnd()));
  Timer1_ = std::make_unique<Timer>(hwnd(), kReconnectingTimer1, kReconnectingTimer1Interval);
  Timer1_->SetEnabled(true);
  return true;
}

void TfrmReconnecting::CreateChildren() {
  const HINSTANCE instance = GetModuleHandleA(nullptr);
  auto child = [&](const char* cls, const char* text, DWORD style, int id) {
    return CreateWindowExA(0, cls, text, WS_CHILD | WS_VISIBLE | style, 0, 0, 0, 0, hwnd(),
                           reinterpret_cast<HMENU>(static_cast<INT_PTR>(id)), instance, nullptr);
  };
  // SS_LEFT wraps words.
  Label1_ = child("STATIC", kReconnectMessage, SS_LEFT | SS_NOPREFIX, kReconnectingLabel1);
  Label2_ = child("STATIC", "Status:", SS_LEFT | SS_NOPREFIX, kReconnectingLabel2);
  teStatus_ = child("STATIC", kDialingText, SS_LEFT | SS_NOPREFIX, kReconnectingStatus);
  Button1_ = child("BUTTON", "Cancel", WS_TABSTOP | BS_PUSHBUTTON, kReconnectingButton1);
}

void TfrmReconnecting::Layout(int dpi) {
  if (dpi == dpi_) return;
  dpi_ = dpi;
  font_.reset(CreateDialogFont(dpi, false));
  bold_font_.reset(CreateDialogFont(dpi, true));
  const SIZE size = OuterSize(dpi);
  SetWindowPos(hwnd(), nullptr, 0, 0, size.cx, size.cy, SWP_NOMOVE | SWP_NOZORDER | SWP_NOACTIVATE);
  Place(Label1_, kLabel1Box, dpi, font_.get());
  Place(Label2_, kLabel2Box, dpi, bold_font_.get());
  Place(teStatus_, kStatusBox, dpi, font_.get());
  Place(Button1_, kButton1Box, dpi, font_.get());
}

void TfrmReconnecting::ShowMinimized() {
  ShowWindow(hwnd(), SW_SHOWMINNOACTIVE);
}

void TfrmReconnecting::SetMessageText(const std::string& text) {
  SetWindowTextA(Label1_, text.c_str());
}

void TfrmReconnecting::SetStatusText(const std::string& text) {
  if (teStatus_) SetWindowTextA(teStatus_, text.c_str());
}

void TfrmReconnecting::StopTimer() {
  if (Timer1_) Timer1_->SetEnabled(false);
}

void TfrmReconnecting::HideWindow() {
  if (hwnd()) ShowWindow(hwnd(), SW_HIDE);
}

LRESULT TfrmReconnecting::HandleMessage(UINT message, WPARAM wparam, LPARAM lparam) {
  // Each handler below may end with the host destroying this window: return
  // without touching it afterwards.
  switch (message) {
    case WM_TIMER:
      if (wparam == kReconnectingTimer1) {
        Timer1Timer();
        return 0;
      }
      break;
    case WM_COMMAND:
      if (LOWORD(wparam) == kReconnectingButton1 && HIWORD(wparam) == BN_CLICKED) {
        Button1Click();
        return 0;
      }
      break;
    case WM_CLOSE:
      // Not DefWindowProc: the host destroys the window once the loop is gone.
      FormCloseBox();
      return 0;
    case WM_DPICHANGED: {
      const RECT* suggested = reinterpret_cast<const RECT*>(lparam);
      SetWindowPos(hwnd(), nullptr, suggested->left, suggested->top, 0, 0,
                   SWP_NOSIZE | SWP_NOZORDER | SWP_NOACTIVATE);
      Layout(HIWORD(wparam));
      return 0;
    }
    default:
      break;
  }
  return Default(message, wparam, lparam);
}

std::unique_ptr<TfrmReconnecting> OpenReconnectWindow(Application& app, WatchState& watch,
                                                      ReconnectHost& host, PumpingSleeper& pump,
                                                      const Clock& clock, HWND main_window,
                                                      const ReconnectWindowOptions& options) {
  const bool windows2000_or_later = options.windows2000_or_later.has_value()
                                        ? *options.windows2000_or_later
                                        : IsWindows2000OrLater();
  auto window =
      std::make_unique<TfrmReconnecting>(app, watch, host, pump, clock, windows2000_or_later);
  const WindowRect main_bounds =
      main_window ? NormalBoundsOf(main_window)
                  : WindowRect{0, 0, PrimaryScreen().width, PrimaryScreen().height};
  if (!window->Create(main_bounds)) return nullptr;
  if (!options.message.empty()) window->SetMessageText(options.message);
  window->ShowMinimized();
  return window;
}

}  // namespace tarnwick
