#pragma once
// The splash window `TfrmKXSplash`: name, version and pictures, always on top,
// shown at every start until the user presses Close. Not modal. Closing only
// hides it; it lives as long as its object (the process, in the program).
//
// Use from start-up, after the main window exists:
//   TfrmKXSplash splash;
//   splash.Create(main.hwnd(), app.flags);  // placed for this start
//   splash.Show();
//   ... in the message loop: if (splash.PreTranslateMessage(msg)) continue;
#include <windows.h>

#include "app/dialog_win32.h"
#include "app/startup.h"
#include "ui/picture_win32.h"

namespace tarnwick {

// Client area in 96-DPI pixels; it follows the DPI, not the dialog font.
inline constexpr int kSplashClientWidth = 345;
inline constexpr int kSplashClientHeight = 177;

class TfrmKXSplash : public Dialog {
 public:
  TfrmKXSplash() = default;
  ~TfrmKXSplash();
  TfrmKXSplash(const TfrmKXSplash&) = delete;
  TfrmKXSplash& operator=(const TfrmKXSplash&) = delete;

  // Creates the window hidden, owned by `main`, with the version text, and places
  // it: centred on the screen on a hidden start (flags.StartupLaunch), else over
  // `main` by the option dialogs' rule. `dpi` 0 lays it out for the DPI of the
  // window; tests pass 96 or 144. Returns false when the window cannot be made.
  bool Create(HWND main, const StartupFlags& flags, int dpi = 0);
  // Shows it without waiting for it.
  void Show();
  // Keyboard for the splash (Enter and Esc close it, Tab moves): true when the
  // message was meant for it and is handled.
  bool PreTranslateMessage(MSG& msg);

  // "Close": hides the window; it stays in memory.
  void Button2Click();

  HWND hwnd() const { return hwnd_; }
  int dpi() const { return dpi_; }
  const Picture& Image1() const { return Image1_; }
  const Picture& Image2() const { return Image2_; }

 private:
  INT_PTR HandleMessage(UINT message, WPARAM wparam, LPARAM lparam) override;
  void FormCreate();
  void Layout(int dpi) override;
  void PlaceForStart();

  HWND main_ = nullptr;
  bool startup_launch_ = false;
  int dpi_ = 96;
  Picture Image1_;
  Picture Image2_;
  Font name_font_;
  Font text_font_;
};

}  // namespace tarnwick
