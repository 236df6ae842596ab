#include "ui/main_controls_win32.h"

#include <commctrl.h>

#include <algorithm>
#include <array>
#include <initializer_list>
#include <utility>

#include "app/dpi_win32.h"
#include "ui/main_layout.h"
#include "ui/info_windows_ids.h"
#include "ui/panel_win32.h"
#include "ui/picture_win32.h"

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

constexpr const char* kGroupCaption = "Connection Statistics";

HFONT MakeFont(const char* face, int height, int dpi) {
  return CreateFontA(-MulDiv(height, dpi, 96), 0, 0, 0, FW_NORMAL, FALSE, FALSE, FALSE,
                     DEFAULT_CHARSET, OUT_DEFAULT_PRECIS, CLIP_DEFAULT_PRECIS, CLEARTYPE_QUALITY,
                     DEFAULT_PITCH, face);
}

HBITMAP LoadPicture(int id, int id144, int dpi) {
  return static_cast<HBITMAP>(LoadImageA(GetModuleHandleA(nullptr),
                                         MAKEINTRESOURCEA(PictureIdForDpi(id, id144, dpi)),
                                         IMAGE_BITMAP, 0, 0, LR_CREATEDIBSECTION));
}

// The toolbar's glyphs, the large ones from 144 DPI on.
HIMAGELIST LoadGlyphs(int dpi) {
  const int size = dpi >= 144 ? 48 : 32;
  HIMAGELIST list = ImageList_Create(size, size, ILC_COLOR32 | ILC_MASK, 4, 0);
  for (const auto& button : kToolbarButtons) {
    auto icon = static_cast<HICON>(LoadImageA(GetModuleHandleA(nullptr),
                                              MAKEINTRESOURCEA(button.glyph), IMAGE_ICON, size,
                                              size, 0));
    ImageList_AddIcon(list, icon);
    if (icon) DestroyIcon(icon);
  }
  return list;
}

int TextWidth(HWND window, HFONT font) {
  char text[128] = {};
  const int length = GetWindowTextA(window, text, sizeof text);
  HDC dc = GetDC(window);
  HGDIOBJ old = SelectObject(dc, font);
  SIZE extent{};
  GetTextExtentPoint32A(dc, text, length, &extent);
  SelectObject(dc, old);
  ReleaseDC(window, dc);
  return extent.cx;
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

HFONT MainControls::Font(FontRole role) const {
  switch (role) {
    case FontRole::kForm: return form_font;
    case FontRole::kCaption: return caption_font;
    case FontRole::kValue: return value_font;
    case FontRole::kNone: break;
  }
  return nullptr;
}

HWND MainControls::NewChild(HWND parent, const char* cls, const char* text, DWORD style, int id,
                            DWORD ex_style) {
  return CreateWindowExA(ex_style, cls, text, WS_CHILD | WS_VISIBLE | style, 0, 0, 0, 0, parent,
                         reinterpret_cast<HMENU>(static_cast<INT_PTR>(id)),
                         GetModuleHandleA(nullptr), nullptr);
}

HWND MainControls::AddChild(HWND parent, const char* cls, const char* text, DWORD style,
                            const Placed& at, int id) {
  HWND hwnd = NewChild(parent, cls, text, style, id);
  placed_.push_back(at);
  placed_.back().hwnd = hwnd;
  return hwnd;
}

void MainControls::Create(HWND main) {
  RegisterPanelClasses();
  using F = FontRole;

  // MainBar: four large buttons, caption under the glyph, the caption as hint.
  toolbar = NewChild(main, TOOLBARCLASSNAMEA, nullptr, TBSTYLE_FLAT | TBSTYLE_TOOLTIPS | CCS_TOP,
                     kIdToolbar);
  SendMessageA(toolbar, TB_BUTTONSTRUCTSIZE, sizeof(TBBUTTON), 0);
  std::array<TBBUTTON, kToolbarButtons.size()> buttons{};
  for (size_t i = 0; i < kToolbarButtons.size(); ++i) {
    buttons[i].iBitmap = static_cast<int>(i);
    buttons[i].idCommand = kToolbarButtons[i].command;
    buttons[i].fsState = TBSTATE_ENABLED;
    buttons[i].fsStyle = BTNS_BUTTON | BTNS_AUTOSIZE;
    buttons[i].iString = reinterpret_cast<INT_PTR>(kToolbarButtons[i].caption);
  }
  SendMessageA(toolbar, TB_ADDBUTTONSA, buttons.size(), reinterpret_cast<LPARAM>(buttons.data()));

  StatusBar1 = NewChild(main, STATUSCLASSNAMEA, nullptr, SBARS_SIZEGRIP, kIdStatusBar);

  // The panels are sized by Layout.
  Panel1 = NewChild(main, kPanelClass, nullptr, WS_CLIPCHILDREN, 0, WS_EX_STATICEDGE);
  Panel2 = NewChild(Panel1, kBandClass, nullptr, 0);
  band_pattern = static_cast<HBITMAP>(LoadImageA(GetModuleHandleA(nullptr),
                                                 MAKEINTRESOURCEA(kBmpBand), IMAGE_BITMAP, 0, 0,
                                                 LR_CREATEDIBSECTION));
  SetBandPattern(Panel2, band_pattern);
  ScrollBox1 = NewChild(Panel1, kScrollBoxClass, nullptr, WS_CLIPCHILDREN);

  Label4 = AddChild(ScrollBox1, "STATIC", "Internet Connection:", SS_LEFT,
                    {nullptr, kMargin, 10, 120, 16, F::kCaption});
  cbConnections = AddChild(ScrollBox1, "COMBOBOX", nullptr,
                           CBS_DROPDOWNLIST | WS_VSCROLL | WS_TABSTOP,
                           {nullptr, kMargin, 28, 257, 200, F::kForm}, kIdConnections);

  // A group is an etched frame that the scroll box draws, with its caption over
  // the top line: group-box and frame controls fill their inside in the face
  // colour, and these sit on a white panel.
  for (int top : {kGroup1Top, kGroup2Top}) {
    AddChild(ScrollBox1, "STATIC", kGroupCaption, SS_LEFT,
             {nullptr, kMargin + 6, top, 0, 15, F::kCaption});
  }
  const int g1 = kGroup1Top;
  Label1 = AddChild(ScrollBox1, "STATIC", "Status: ", SS_LEFT,
                    {nullptr, kMargin + 10, g1 + 24, 50, 16, F::kCaption});
  const Placed state_picture{nullptr, kMargin + 70, g1 + 18, kStatePicture, kStatePicture,
                             F::kNone};
  Image2 = AddChild(ScrollBox1, "STATIC", nullptr, SS_BITMAP | SS_CENTERIMAGE | SS_NOTIFY,
                    state_picture);
  Image3 = AddChild(ScrollBox1, "STATIC", nullptr, SS_BITMAP | SS_CENTERIMAGE | SS_NOTIFY,
                    state_picture);
  ShowWindow(Image2, SW_HIDE);
  hints = CreateWindowExA(0, TOOLTIPS_CLASSA, nullptr, WS_POPUP | TTS_ALWAYSTIP, CW_USEDEFAULT,
                          CW_USEDEFAULT, CW_USEDEFAULT, CW_USEDEFAULT, main, nullptr,
                          GetModuleHandleA(nullptr), nullptr);
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
  Label3 = AddChild(ScrollBox1, "STATIC", "IP Address:", SS_LEFT,
                    {nullptr, kMargin + 10, g1 + 52, 70, 16, F::kCaption});
  Label10 = AddChild(ScrollBox1, "STATIC", "", SS_LEFT,
                     {nullptr, kMargin + 82, g1 + 52, 110, 16, F::kValue});

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
    AddChild(ScrollBox1, "STATIC", row.caption, SS_LEFT,
             {nullptr, kMargin + row.x, g2 + row.y, caption_width, 16, F::kCaption});
    *row.value = AddChild(ScrollBox1, "STATIC", "", SS_LEFT,
                          {nullptr, kMargin + row.x + caption_width, g2 + row.y + 1,
                           row.x < 100 ? 76 : 96, 16, F::kValue});
  }
  ApplyDpi(WindowDpi(main));
}

void MainControls::ApplyDpi(int new_dpi) {
  dpi = new_dpi;
  // The new fonts and pictures are in place before the old ones go: no child
  // ever draws with a deleted one.
  const HFONT old_fonts[] = {form_font, caption_font, value_font};
  const HBITMAP old_pictures[] = {connected_picture, not_connected_picture};
  const HIMAGELIST old_glyphs = glyphs;
  form_font = MakeFont("MS Sans Serif", 11, dpi);
  caption_font = MakeFont("Arial", 12, dpi);
  value_font = MakeFont("Courier New", 11, dpi);
  connected_picture = LoadPicture(kBmpConnected, kBmpConnected144, dpi);
  not_connected_picture = LoadPicture(kBmpNotConnected, kBmpNotConnected144, dpi);
  glyphs = LoadGlyphs(dpi);

  SendMessageA(toolbar, WM_SETFONT, reinterpret_cast<WPARAM>(form_font), FALSE);
  SendMessageA(toolbar, TB_SETIMAGELIST, 0, reinterpret_cast<LPARAM>(glyphs));
  SendMessageA(toolbar, TB_AUTOSIZE, 0, 0);
  SendMessageA(StatusBar1, WM_SETFONT, reinterpret_cast<WPARAM>(form_font), FALSE);
  // The one panel runs to the right edge, as a sole last panel does: cut at
  // 50 pixels, the keep-alive's progress texts could not be read.
  const int parts[] = {-1};
  SendMessageA(StatusBar1, SB_SETPARTS, 1, reinterpret_cast<LPARAM>(parts));

  // The places below are the unscrolled ones.
  SetScrollPos(ScrollBox1, SB_HORZ, 0, FALSE);
  SetScrollPos(ScrollBox1, SB_VERT, 0, FALSE);
  for (const Placed& p : placed_) {
    const HFONT font = Font(p.font);
    if (font) SendMessageA(p.hwnd, WM_SETFONT, reinterpret_cast<WPARAM>(font), FALSE);
    const int width = p.width > 0 ? Scale(p.width) : TextWidth(p.hwnd, font) + Scale(4);
    MoveWindow(p.hwnd, Scale(p.x), Scale(p.y), width, Scale(p.height), TRUE);
  }
  SendMessageA(Image2, STM_SETIMAGE, IMAGE_BITMAP, reinterpret_cast<LPARAM>(connected_picture));
  SendMessageA(Image3, STM_SETIMAGE, IMAGE_BITMAP,
               reinterpret_cast<LPARAM>(not_connected_picture));
  auto frame = [&](int top, int width, int height) {
    return RECT{Scale(kMargin), Scale(top + 7), Scale(kMargin + width), Scale(top + height)};
  };
  GroupBox1 = frame(kGroup1Top, kGroup1Width, kGroup1Height);
  GroupBox2 = frame(kGroup2Top, kGroup2Width, kGroup2Height);
  SetGroupFrames(ScrollBox1, {GroupBox1, GroupBox2});
  SetScrollExtent(ScrollBox1, Scale(kMargin + kGroup2Width + kMargin),
                  Scale(kGroup2Top + kGroup2Height + kMargin));
  InvalidateRect(ScrollBox1, nullptr, TRUE);

  for (HFONT font : old_fonts) {
    if (font) DeleteObject(font);
  }
  for (HBITMAP bitmap : old_pictures) {
    if (bitmap) DeleteObject(bitmap);
  }
  if (old_glyphs) ImageList_Destroy(old_glyphs);
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
