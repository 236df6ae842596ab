#pragma once
// The children of the main window, named as the window's code refers to them,
// with their fonts and pictures. Created at the window's DPI, and laid out anew
// when the window moves to a screen of another DPI.
#include <windows.h>
#include <commctrl.h>

#include <vector>

namespace tarnwick {

// Control ids of the main window.
enum MainControlId : int {
  kIdToolbar = 1000,
  kIdStatusBar,
  kIdConnections,  // cbConnections
};

// Toolbar command ids, in button order.
enum MainToolbarCommand : int {
  kCmdReconnection = 200,  // "Reconnect"
  kCmdIpMonitor,           // "IP Monitor"
  kCmdScheduler,           // "Scheduler"
  kCmdKeepAlive,           // "Keep-Alive"
};

// The hints of the status pictures.
inline constexpr const char* kConnectedHint = "Connected";
inline constexpr const char* kNotConnectedHint = "Not Connected";

struct MainControls {
  HWND toolbar = nullptr;  // MainBar
  HWND Panel1 = nullptr;
  HWND Panel2 = nullptr;  // the left band; Image1 is its painted pattern
  HWND ScrollBox1 = nullptr;
  HWND Label4 = nullptr;
  HWND cbConnections = nullptr;
  RECT GroupBox1{};  // drawn by the scroll box (see SetGroupFrames)
  HWND Label1 = nullptr;
  HWND Image2 = nullptr;  // connected
  HWND Image3 = nullptr;  // not connected
  HWND hints = nullptr;   // the pictures' tooltips
  HWND Label3 = nullptr;
  HWND Label10 = nullptr;  // the current address
  RECT GroupBox2{};
  HWND lblbtran = nullptr;
  HWND lblbrec = nullptr;
  HWND lblConnSpeed = nullptr;
  HWND lblTranSpeed = nullptr;
  HWND lblRecSpeed = nullptr;
  HWND StatusBar1 = nullptr;

  int dpi = 96;
  HFONT form_font = nullptr;     // MS Sans Serif, -11
  HFONT caption_font = nullptr;  // Arial, -12
  HFONT value_font = nullptr;    // Courier New, -11
  HIMAGELIST glyphs = nullptr;
  HBITMAP band_pattern = nullptr;
  HBITMAP connected_picture = nullptr;
  HBITMAP not_connected_picture = nullptr;

  MainControls() = default;
  ~MainControls();
  MainControls(const MainControls&) = delete;
  MainControls& operator=(const MainControls&) = delete;

  int Scale(int pixels) const { return MulDiv(pixels, dpi, 96); }

  void Create(HWND main);
  // Sizes the children, their fonts and pictures for `new_dpi`. Their texts,
  // items and states stay.
  void ApplyDpi(int new_dpi);
  // Lays the children out in the main window's client area (on every resize).
  void Layout(HWND main);
  // The hint of a toolbar button (its caption).
  static const char* ToolbarText(int command);

 private:
  enum class FontRole { kForm, kCaption, kValue, kNone };
  // A child at its 96-DPI place; a zero width follows its text.
  struct Placed {
    HWND hwnd;
    int x, y, width, height;
    FontRole font;
  };
  static HWND NewChild(HWND parent, const char* cls, const char* text, DWORD style, int id = 0,
                       DWORD ex_style = 0);
  // A new child that ApplyDpi places at `at`.
  HWND AddChild(HWND parent, const char* cls, const char* text, DWORD style, const Placed& at,
                int id = 0);
  HFONT Font(FontRole role) const;
  std::vector<Placed> placed_;
};

}  // namespace tarnwick
