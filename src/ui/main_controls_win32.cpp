#include "ui/main_controls_win32.h"

#include <commctrl.h>

#include <algorithm>
#include <array>
#include <cstring>
#include <initializer_list>
#include <utility>

#include "app/dpi_win32.h"
#include "ui/main_layout.h"
#include "ui/panel_win32.h"
#include "ui/info_windows_ids.h"

namespace tarnwick {
namespace {

struct ToolbarButton {
  int command;
  const char* caption;
  int glyph;  // icon resource id
};

constexpr std::array<ToolbarButton, 4> kToolbarButtons{{
    {kCmdReconnection, "Reconnect", kIcoReconnect},
    {kCmdIpMonitor, "IP Monitor", kIcoIPMonitor},
    {kCmdScheduler, "Scheduler", kIcoScheduler},
    {kCmdKeepAlive, "Keep-Alive", kIcoKeepAlive},
}};

// Positions inside the scroll box, at 96 DPI.
constexpr int kMargin = 8;
constexpr int kGroup1Top = 58, kGroup1Width = 201, kGroup1Height = 81;
constexpr int kGroup2Top = 146, kGroup2Width = 383, kGroup2Height = 97;
constexpr int kStatePicture = 24;

HFONT MakeFont(const char* face, int height, int dpi) {
  return CreateFontA(-MulDiv(height, dpi, 96), 0, 0, 0, FW_NORMAL, FALSE, FALSE, FALSE,
                     DEFAULT_CHARSET, OUT_DEFAULT_PRECIS, CLIP_DEFAULT_PRECIS, CLEARTYPE_QUALITY,
                     DEFAULT_PITCH, face);
}

// The picture drawn for the window's DPI: the large one from 144 DPI on.
HBITMAP LoadPicture(int id, int id144, int dpi) {
  return static_cast<HBITMAP>(LoadImageA(GetModuleHandleA(nullptr),
                                         MAKEINTRESOURCEA(dpi >= 144 ? id144 : id), IMAGE_BITMAP,
                                         0, 0, LR_CREATEDIBSECTION));
}

}  // namespace

MainControls::~MainControls() {
  for (HFONT font : {form_font, caption_font, value_font}) {
    if (font) DeleteObject(font);
  }
  for (HBITMAP bitmap : {band_pattern, connected_picture, not_connected_picture}) {
    if (bitmap) DeleteObject(bitmap);
  }
  if (glyphs) ImageList_Destroy(glyphs);
}

const char* MainControls::ToolbarText(int command) {
  for (const auto& button : kToolbarButtons) {
    if (button.command == command) return button.caption;
  }
  return nullptr;
}

void MainControls::Create(HWND main) {
  RegisterPanelClasses();
  dpi = WindowDpi(main);
  const HINSTANCE instance = GetModuleHandleA(nullptr);
  form_font = MakeFont("MS Sans Serif", 11, dpi);
  caption_font = MakeFont("Arial", 12, dpi);
  value_font = MakeFont("Courier New", 11, dpi);

  auto child = [&](HWND parent, const char* cls, const char* text, DWORD style, int x, int y,
                   int w, int h, HFONT font, int id = 0, DWORD ex_style = 0) {
    HWND hwnd = CreateWindowExA(ex_style, cls, text, WS_CHILD | WS_VISIBLE | style, Scale(x),
                                Scale(y), Scale(w), Scale(h), parent,
                                reinterpret_cast<HMENU>(static_cast<INT_PTR>(id)), instance,
                                nullptr);
    if (font) SendMessageA(hwnd, WM_SETFONT, reinterpret_cast<WPARAM>(font), FALSE);
    return hwnd;
  };

  // MainBar: four large buttons, caption under the glyph, the caption as hint.
  toolbar = CreateWindowExA(0, TOOLBARCLASSNAMEA, nullptr,
                            WS_CHILD | WS_VISIBLE | TBSTYLE_FLAT | TBSTYLE_TOOLTIPS | CCS_TOP,
                            0, 0, 0, 0, main,
                            reinterpret_cast<HMENU>(static_cast<INT_PTR>(kIdToolbar)), instance,
                            nullptr);
  SendMessageA(toolbar, TB_BUTTONSTRUCTSIZE, sizeof(TBBUTTON), 0);
  SendMessageA(toolbar, WM_SETFONT, reinterpret_cast<WPARAM>(form_font), FALSE);
  const int glyph = dpi >= 144 ? 48 : 32;
  glyphs = ImageList_Create(glyph, glyph, ILC_COLOR32 | ILC_MASK, 4, 0);
  for (const auto& button : kToolbarButtons) {
    auto icon = static_cast<HICON>(LoadImageA(instance, MAKEINTRESOURCEA(button.glyph), IMAGE_ICON,
                                              glyph, glyph, 0));
    ImageList_AddIcon(glyphs, icon);
    if (icon) DestroyIcon(icon);
  }
  SendMessageA(toolbar, TB_SETIMAGELIST, 0, reinterpret_cast<LPARAM>(glyphs));
  std::array<TBBUTTON, kToolbarButtons.size()> buttons{};
  for (size_t i = 0; i < kToolbarButtons.size(); ++i) {
    buttons[i].iBitmap = static_cast<int>(i);
    buttons[i].idCommand = kToolbarButtons[i].command;
    buttons[i].fsState = TBSTATE_ENABLED;
    buttons[i].fsStyle = BTNS_BUTTON | BTNS_AUTOSIZE;
    buttons[i].iString = reinterpret_cast<INT_PTR>(kToolbarButtons[i].caption);
  }
  SendMessageA(toolbar, TB_ADDBUTTONSA, buttons.size(), reinterpret_cast<LPARAM>(buttons.data()));
  SendMessageA(toolbar, TB_AUTOSIZE, 0, 0);

  StatusBar1 = CreateWindowExA(0, STATUSCLASSNAMEA, nullptr, WS_CHILD | WS_VISIBLE | SBARS_SIZEGRIP,
                               0, 0, 0, 0, main,
                               reinterpret_cast<HMENU>(static_cast<INT_PTR>(kIdStatusBar)),
                               instance, nullptr);
  SendMessageA(StatusBar1, WM_SETFONT, reinterpret_cast<WPARAM>(form_font), FALSE);
  const int parts[] = {Scale(50)};
  SendMessageA(StatusBar1, SB_SETPARTS, 1, reinterpret_cast<LPARAM>(parts));

  Panel1 = child(main, kPanelClass, nullptr, WS_CLIPCHILDREN, 0, 0, 0, 0, nullptr, 0,
                 WS_EX_STATICEDGE);
  Panel2 = child(Panel1, kBandClass, nullptr, 0, 0, 0, 30, 0, nullptr);
  band_pattern = static_cast<HBITMAP>(LoadImageA(instance, MAKEINTRESOURCEA(kBmpBand),
                                                 IMAGE_BITMAP, 0, 0, LR_CREATEDIBSECTION));
  SetBandPattern(Panel2, band_pattern);
  ScrollBox1 = child(Panel1, kScrollBoxClass, nullptr, WS_CLIPCHILDREN, 30, 0, 0, 0, nullptr);

  Label4 = child(ScrollBox1, "STATIC", "Internet Connection:", SS_LEFT, kMargin, 10, 120, 16,
                 caption_font);
  cbConnections = child(ScrollBox1, "COMBOBOX", nullptr,
                        CBS_DROPDOWNLIST | WS_VSCROLL | WS_TABSTOP, kMargin, 28, 257, 200,
                        form_font, kIdConnections);

  // A group is an etched frame that the scroll box draws, with its caption over the
  // top line: group-box and frame controls fill their inside in the face colour,
  // and these sit on a white panel.
  auto group = [&](int y, int width, int height) {
    const RECT frame{Scale(kMargin), Scale(y + 7), Scale(kMargin + width), Scale(y + height)};
    const char* caption = "Connection Statistics";
    HDC dc = GetDC(ScrollBox1);
    HGDIOBJ old = SelectObject(dc, caption_font);
    SIZE extent{};
    GetTextExtentPoint32A(dc, caption, static_cast<int>(strlen(caption)), &extent);
    SelectObject(dc, old);
    ReleaseDC(ScrollBox1, dc);
    HWND title = CreateWindowExA(0, "STATIC", caption, WS_CHILD | WS_VISIBLE | SS_LEFT,
                                 Scale(kMargin + 6), Scale(y), extent.cx + Scale(4),
                                 Scale(15), ScrollBox1, nullptr, instance, nullptr);
    SendMessageA(title, WM_SETFONT, reinterpret_cast<WPARAM>(caption_font), FALSE);
    return frame;
  };
  GroupBox1 = group(kGroup1Top, kGroup1Width, kGroup1Height);
  GroupBox2 = group(kGroup2Top, kGroup2Width, kGroup2Height);
  SetGroupFrames(ScrollBox1, {GroupBox1, GroupBox2});
  const int g1 = kGroup1Top;
  Label1 = child(ScrollBox1, "STATIC", "Status: ", SS_LEFT, kMargin + 10, g1 + 24, 50, 16,
                 caption_font);
  connected_picture = LoadPicture(kBmpConnected, kBmpConnected144, dpi);
  not_connected_picture = LoadPicture(kBmpNotConnected, kBmpNotConnected144, dpi);
  Image2 = child(ScrollBox1, "STATIC", nullptr, SS_BITMAP | SS_CENTERIMAGE | SS_NOTIFY,
                 kMargin + 70, g1 + 18, kStatePicture, kStatePicture, nullptr);
  Image3 = child(ScrollBox1, "STATIC", nullptr, SS_BITMAP | SS_CENTERIMAGE | SS_NOTIFY,
                 kMargin + 70, g1 + 18, kStatePicture, kStatePicture, nullptr);
  SendMessageA(Image2, STM_SETIMAGE, IMAGE_BITMAP, reinterpret_cast<LPARAM>(connected_picture));
  SendMessageA(Image3, STM_SETIMAGE, IMAGE_BITMAP,
               reinterpret_cast<LPARAM>(not_connected_picture));
  ShowWindow(Image2, SW_HIDE);
  hints = CreateWindowExA(0, TOOLTIPS_CLASSA, nullptr, WS_POPUP | TTS_ALWAYSTIP, CW_USEDEFAULT,
                          CW_USEDEFAULT, CW_USEDEFAULT, CW_USEDEFAULT, main, nullptr, instance,
                          nullptr);
  for (const auto& [picture, hint] : {std::pair{Image2, kConnectedHint},
                                      std::pair{Image3, kNotConnectedHint}}) {
    TTTOOLINFOA tool{};
    tool.cbSize = sizeof tool;
    tool.uFlags = TTF_IDISHWND | TTF_SUBCLASS;
    tool.hwnd = main;
    tool.uId = reinterpret_cast<UINT_PTR>(picture);
    tool.lpszText = const_cast<char*>(hint);
    SendMessageA(hints, TTM_ADDTOOLA, 0, reinterpret_cast<LPARAM>(&tool));
  }
  Label3 = child(ScrollBox1, "STATIC", "IP Address:", SS_LEFT, kMargin + 10, g1 + 52, 70, 16,
                 caption_font);
  Label10 = child(ScrollBox1, "STATIC", "", SS_LEFT, kMargin + 82, g1 + 52, 110, 16, value_font);

  const int g2 = kGroup2Top;
  struct Row {
    const char* caption;
    int x, y;
    HWND* value;
  };
  const Row rows[] = {
      {"Bytes Transmitted:", 10, 22, &lblbtran},  {"Bytes Received:", 10, 44, &lblbrec},
      {"Connection Speed:", 10, 66, &lblConnSpeed}, {"Throughput:", 206, 22, &lblTranSpeed},
      {"Throughput:", 206, 44, &lblRecSpeed},
  };
  for (const Row& row : rows) {
    const int caption_width = row.x < 100 ? 112 : 70;
    child(ScrollBox1, "STATIC", row.caption, SS_LEFT, kMargin + row.x, g2 + row.y, caption_width,
          16, caption_font);
    *row.value = child(ScrollBox1, "STATIC", "", SS_LEFT, kMargin + row.x + caption_width,
                       g2 + row.y + 1, row.x < 100 ? 76 : 96, 16, value_font);
  }
  SetScrollExtent(ScrollBox1, Scale(kMargin + kGroup2Width + kMargin),
                  Scale(kGroup2Top + kGroup2Height + kMargin));
}

void MainControls::Layout(HWND main) {
  if (!Panel1) return;
  SendMessageA(toolbar, TB_AUTOSIZE, 0, 0);
  SendMessageA(StatusBar1, WM_SIZE, 0, 0);
  RECT client, bar, status;
  GetClientRect(main, &client);
  GetWindowRect(toolbar, &bar);
  GetWindowRect(StatusBar1, &status);
  const int top = bar.bottom - bar.top;
  const int bottom = client.bottom - (status.bottom - status.top);
  const int panel_width = client.right, panel_height = std::max(bottom - top, 0);
  MoveWindow(Panel1, 0, top, panel_width, panel_height, TRUE);

  RECT inner;
  GetClientRect(Panel1, &inner);
  const PanelLayout layout =
      LayoutPanel(Scale(kMargin + kGroup2Width), Scale(kGroup2Top + kGroup2Height),
                  inner.right, inner.bottom);
  MoveWindow(Panel2, 0, 0, layout.band_width, inner.bottom, TRUE);
  MoveWindow(ScrollBox1, layout.band_width, 0, std::max<int>(inner.right - layout.band_width, 0),
             inner.bottom, TRUE);
  ShowScrollBar(ScrollBox1, SB_HORZ, layout.horizontal_scroll);
  ShowScrollBar(ScrollBox1, SB_VERT, layout.vertical_scroll);
}

}  // namespace tarnwick
