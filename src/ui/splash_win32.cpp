#include "ui/splash_win32.h"

#include <exception>

#include "app/message_box.h"
#include "ui/info_windows_ids.h"
#include "ui/placement.h"

namespace tarnwick {
namespace {

// The layout in 96-DPI pixels.
constexpr PixelBox kImage1{0, 0, 84, 177};
constexpr PixelBox kProductName{100, 18, 190, 30};
constexpr PixelBox kVersion{100, 52, 190, 18};
constexpr PixelBox kImage2{302, 10, 33, 27};
constexpr PixelBox kBevel{96, 80, 239, 2};
constexpr PixelBox kButton2{260, 142, 75, 25};

WindowRect BoundsOf(HWND window) {
  RECT r{};
  if (IsIconic(window)) {
    WINDOWPLACEMENT placement{};
    placement.length = sizeof placement;
    GetWindowPlacement(window, &placement);
    r = placement.rcNormalPosition;
  } else {
    GetWindowRect(window, &r);
  }
  return {r.left, r.top, r.right - r.left, r.bottom - r.top};
}

Picture TryLoad(bool jpeg, int id) {
  // A picture that cannot be read leaves its place empty; the window still works.
  try {
    const HMODULE module = GetModuleHandleA(nullptr);
    return jpeg ? LoadJpegResource(module, id) : LoadBitmapResource(module, id);
  } catch (const std::exception&) {
    return Picture();
  }
}

}  // namespace

TfrmKXSplash::~TfrmKXSplash() {
  if (hwnd_) DestroyWindow(hwnd_);
}

bool TfrmKXSplash::Create(HWND main, const StartupFlags& flags, int dpi) {
  if (hwnd_) return true;
  main_ = main;
  startup_launch_ = flags.StartupLaunch;
  dpi_override_ = dpi;
  CreateDialogParamA(GetModuleHandleA(nullptr), MAKEINTRESOURCEA(kDlgSplash), main, DialogProc,
                     reinterpret_cast<LPARAM>(this));
  return hwnd_ != nullptr;
}

void TfrmKXSplash::Show() {
  if (!hwnd_) return;
  ShowWindow(hwnd_, SW_SHOWNORMAL);
  SetWindowPos(hwnd_, HWND_TOPMOST, 0, 0, 0, 0, SWP_NOMOVE | SWP_NOSIZE);
}

bool TfrmKXSplash::PreTranslateMessage(MSG& msg) {
  return hwnd_ && IsWindowVisible(hwnd_) && IsDialogMessageA(hwnd_, &msg);
}

void TfrmKXSplash::Button2Click() {
  if (hwnd_) ShowWindow(hwnd_, SW_HIDE);
}

INT_PTR TfrmKXSplash::HandleMessage(UINT message, WPARAM wparam, LPARAM lparam) {
  switch (message) {
    case WM_INITDIALOG:
      FormCreate();
      return FALSE;  // the caller decides when it is shown and focused
    case WM_COMMAND:
      if (LOWORD(wparam) == kSplashButton2 || LOWORD(wparam) == IDCANCEL) {
        Button2Click();
        return TRUE;
      }
      return FALSE;
    case WM_CLOSE:
      Button2Click();
      return TRUE;
    case WM_DRAWITEM: {
      const auto* item = reinterpret_cast<const DRAWITEMSTRUCT*>(lparam);
      const Picture* picture = item->CtlID == kSplashImage1   ? &Image1_
                               : item->CtlID == kSplashImage2 ? &Image2_
                                                              : nullptr;
      if (!picture) return FALSE;
      picture->Draw(item->hDC, item->rcItem);
      return TRUE;
    }
    default:
      return FALSE;
  }
}

void TfrmKXSplash::FormCreate() {
  SetDlgItemTextA(hwnd_, kSplashVersion, kVersionText);
  Layout(dpi_override_ ? dpi_override_ : WindowDpi(hwnd_));
  PlaceForStart();
}

void TfrmKXSplash::Layout(int dpi) {
  dpi_ = dpi;
  Image1_ = TryLoad(true, PictureIdForDpi(kJpgSplash, kJpgSplash144, dpi));
  Image2_ = TryLoad(false, PictureIdForDpi(kBmpSmall27, kBmpSmall27_144, dpi));

  Font name, text;
  name.Create(hwnd_, 22, true, dpi);
  text.Create(hwnd_, 12, false, dpi);
  SendDlgItemMessageA(hwnd_, kSplashProductName, WM_SETFONT, WPARAM(name.get()), FALSE);
  SendDlgItemMessageA(hwnd_, kSplashVersion, WM_SETFONT, WPARAM(text.get()), FALSE);
  SendDlgItemMessageA(hwnd_, kSplashButton2, WM_SETFONT, WPARAM(text.get()), FALSE);
  name_font_.Swap(name);
  text_font_.Swap(text);

  PlaceChild(hwnd_, kSplashImage1, kImage1, dpi);
  PlaceChild(hwnd_, kSplashProductName, kProductName, dpi);
  PlaceChild(hwnd_, kSplashVersion, kVersion, dpi);
  PlaceChild(hwnd_, kSplashImage2, kImage2, dpi);
  PlaceChild(hwnd_, kSplashBevel, kBevel, dpi);
  PlaceChild(hwnd_, kSplashButton2, kButton2, dpi);
  SetClientSize(hwnd_, ScaleToDpi(kSplashClientWidth, dpi), ScaleToDpi(kSplashClientHeight, dpi));
  InvalidateRect(hwnd_, nullptr, TRUE);
}

void TfrmKXSplash::PlaceForStart() {
  const ScreenSize screen{GetSystemMetrics(SM_CXSCREEN), GetSystemMetrics(SM_CYSCREEN)};
  RECT r;
  GetWindowRect(hwnd_, &r);
  const WindowRect own{r.left, r.top, r.right - r.left, r.bottom - r.top};
  // A hidden start has no main window on the screen to stand over.
  const WindowRect place = startup_launch_ || !main_
                               ? CentreOnScreen(own, screen)
                               : PlaceDialogOver(BoundsOf(main_), own.width, own.height, screen);
  SetWindowPos(hwnd_, nullptr, place.left, place.top, 0, 0,
               SWP_NOSIZE | SWP_NOZORDER | SWP_NOACTIVATE);
}

}  // namespace tarnwick
