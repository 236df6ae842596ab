#pragma once
// The About window `TfrmKXAbout`: name, version and the small picture, modal,
// placed over the main window by the option dialogs' rule. It exists only while
// it is shown.
//
// The main window's Help > About calls ShowAboutBox(hwnd()).
#include <windows.h>

#include "app/dialog_win32.h"
#include "ui/picture_win32.h"

namespace tarnwick {

// Client area in 96-DPI pixels; it follows the DPI, not the dialog font.
inline constexpr int kAboutClientWidth = 250;
inline constexpr int kAboutClientHeight = 177;

class TfrmKXAbout : public Dialog {
 public:
  TfrmKXAbout() = default;
  TfrmKXAbout(const TfrmKXAbout&) = delete;
  TfrmKXAbout& operator=(const TfrmKXAbout&) = delete;

  // Shows the window modally over `main` and returns when it is closed; the
  // window is gone by then. `dpi` 0 lays it out for the DPI of the window.
  // Throws Error when the window cannot be created.
  void ShowModal(HWND main, int dpi = 0);

  // The close button: ends the modal loop, which destroys the window.
  void BitBtn1Click();

 private:
  INT_PTR HandleMessage(UINT message, WPARAM wparam, LPARAM lparam) override;
  void FormCreate();
  void Layout(int dpi) override;

  HWND main_ = nullptr;
  Picture Image1_;
  Font name_font_;
  Font text_font_;
};

// Creates the About window, shows it modally over `main` and frees it on closing.
// Throws Error when the window cannot be created (the caller's window procedure
// turns that into the standard error box).
void ShowAboutBox(HWND main);

}  // namespace tarnwick
