#include "ui/about_win32.h"

#include <exception>

#include "app/error.h"
#include "app/message_box.h"
#include "app/startup.h"
#include "ui/info_windows_ids.h"
#include "ui/placement.h"

namespace tarnwick {
namespace {

// The layout in 96-DPI pixels.
constexpr PixelBox kLabel1{16, 18, 170, 30};
constexpr PixelBox kLblVersion{16, 52, 170, 18};
constexpr PixelBox kImage1{205, 12, 33, 33};
constexpr PixelBox kBitBtn1{88, 140, 75, 25};

WindowRect BoundsOf(HWND window) {
  RECT r{};
  GetWindowRect(window, &r);
  return {r.left, r.top, r.right - r.left, r.bottom - r.top};
}

}  // namespace

void ShowAboutBox(HWND main) {
  TfrmKXAbout about;
  about.ShowModal(main);
}

void TfrmKXAbout::ShowModal(HWND main, int dpi) {
  main_ = main;
  dpi_override_ = dpi;
  const INT_PTR result = DialogBoxParamA(GetModuleHandleA(nullptr), MAKEINTRESOURCEA(kDlgAbout),
                                         main, DialogProc, reinterpret_cast<LPARAM>(this));
  hwnd_ = nullptr;
  if (result == -1) throw Error("Unable to show the About window.");
}

void TfrmKXAbout::BitBtn1Click() {
  if (hwnd_) EndDialog(hwnd_, IDCANCEL);
}

INT_PTR TfrmKXAbout::HandleMessage(UINT message, WPARAM wparam, LPARAM lparam) {
  switch (message) {
    case WM_INITDIALOG:
      FormCreate();
      return TRUE;  // focus on the close button
    case WM_COMMAND:
      if (LOWORD(wparam) == kAboutBitBtn1 || LOWORD(wparam) == IDCANCEL) {
        BitBtn1Click();
        return TRUE;
      }
      return FALSE;
    case WM_DRAWITEM: {
      const auto* item = reinterpret_cast<const DRAWITEMSTRUCT*>(lparam);
      if (item->CtlID != kAboutImage1) return FALSE;
      Image1_.Draw(item->hDC, item->rcItem);
      return TRUE;
    }
    default:
      return FALSE;
  }
}

void TfrmKXAbout::FormCreate() {
  SetDlgItemTextA(hwnd_, kAboutVersion, kVersionText);
  Layout(dpi_override_ ? dpi_override_ : WindowDpi(hwnd_));
  RECT r;
  GetWindowRect(hwnd_, &r);
  const ScreenSize screen{GetSystemMetrics(SM_CXSCREEN), GetSystemMetrics(SM_CYSCREEN)};
  const WindowRect place =
      main_ ? PlaceDialogOver(BoundsOf(main_), r.right - r.left, r.bottom - r.top, screen)
            : CentreOnScreen({0, 0, r.right - r.left, r.bottom - r.top}, screen);
  SetWindowPos(hwnd_, nullptr, place.left, place.top, 0, 0,
               SWP_NOSIZE | SWP_NOZORDER | SWP_NOACTIVATE);
}

void TfrmKXAbout::Layout(int dpi) {
  try {
    Image1_ = LoadBitmapResource(GetModuleHandleA(nullptr),
                                 PictureIdForDpi(kBmpSmall33, kBmpSmall33_144, dpi));
  } catch (const std::exception&) {
    Image1_.Reset();  // an empty place; the window still works
  }
  Font name, text;
  name.Create(hwnd_, 22, true, dpi);
  text.Create(hwnd_, 12, false, dpi);
  SendDlgItemMessageA(hwnd_, kAboutLabel1, WM_SETFONT, WPARAM(name.get()), FALSE);
  SendDlgItemMessageA(hwnd_, kAboutVersion, WM_SETFONT, WPARAM(text.get()), FALSE);
  SendDlgItemMessageA(hwnd_, kAboutBitBtn1, WM_SETFONT, WPARAM(text.get()), FALSE);
  name_font_.Swap(name);
  text_font_.Swap(text);

  PlaceChild(hwnd_, kAboutLabel1, kLabel1, dpi);
  PlaceChild(hwnd_, kAboutVersion, kLblVersion, dpi);
  PlaceChild(hwnd_, kAboutImage1, kImage1, dpi);
  PlaceChild(hwnd_, kAboutBitBtn1, kBitBtn1, dpi);
  SetClientSize(hwnd_, ScaleToDpi(kAboutClientWidth, dpi), ScaleToDpi(kAboutClientHeight, dpi));
  InvalidateRect(hwnd_, nullptr, TRUE);
}

}  // namespace tarnwick
