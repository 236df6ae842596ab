#include "ui/panel_win32.h"

#include <algorithm>

namespace tarnwick {
namespace {

constexpr const char* kPatternProp = "TarnwickPattern";
constexpr const char* kExtentXProp = "TarnwickExtentX";
constexpr const char* kExtentYProp = "TarnwickExtentY";

// White panels: static texts and group boxes inside paint on white too.
LRESULT CommonMessages(HWND hwnd, UINT message, WPARAM wparam, LPARAM lparam, bool* handled) {
  *handled = true;
  switch (message) {
    case WM_CTLCOLORSTATIC:
    case WM_CTLCOLORBTN:
      SetBkColor(reinterpret_cast<HDC>(wparam), RGB(255, 255, 255));
      return reinterpret_cast<LRESULT>(GetStockObject(WHITE_BRUSH));
    case WM_COMMAND:
    case WM_NOTIFY:
      return SendMessageA(GetAncestor(hwnd, GA_ROOT), message, wparam, lparam);
    default:
      *handled = false;
      return 0;
  }
}

LRESULT CALLBACK PanelProc(HWND hwnd, UINT message, WPARAM wparam, LPARAM lparam) {
  bool handled;
  const LRESULT result = CommonMessages(hwnd, message, wparam, lparam, &handled);
  return handled ? result : DefWindowProcA(hwnd, message, wparam, lparam);
}

LRESULT CALLBACK BandProc(HWND hwnd, UINT message, WPARAM wparam, LPARAM lparam) {
  if (message == WM_PAINT) {
    PAINTSTRUCT ps;
    HDC dc = BeginPaint(hwnd, &ps);
    RECT r;
    GetClientRect(hwnd, &r);
    auto pattern = static_cast<HBITMAP>(GetPropA(hwnd, kPatternProp));
    if (pattern && r.right > 0) {
      HDC source = CreateCompatibleDC(dc);
      HGDIOBJ old = SelectObject(source, pattern);
      BITMAP bm;
      GetObject(pattern, sizeof bm, &bm);
      SetStretchBltMode(dc, HALFTONE);
      StretchBlt(dc, 0, 0, r.right, r.bottom, source, 0, 0, bm.bmWidth, bm.bmHeight, SRCCOPY);
      SelectObject(source, old);
      DeleteDC(source);
    } else {
      FillRect(dc, &r, static_cast<HBRUSH>(GetStockObject(WHITE_BRUSH)));
    }
    EndPaint(hwnd, &ps);
    return 0;
  }
  if (message == WM_SIZE) InvalidateRect(hwnd, nullptr, FALSE);
  return DefWindowProcA(hwnd, message, wparam, lparam);
}

int Extent(HWND hwnd, int bar) {
  return static_cast<int>(
      reinterpret_cast<INT_PTR>(GetPropA(hwnd, bar == SB_HORZ ? kExtentXProp : kExtentYProp)));
}

// Range = the contents' extent, page = the visible part; keeps the position valid.
void UpdateScrollRange(HWND hwnd, int bar) {
  RECT r;
  GetClientRect(hwnd, &r);
  SCROLLINFO si{};
  si.cbSize = sizeof si;
  si.fMask = SIF_RANGE | SIF_PAGE;
  si.nMin = 0;
  si.nMax = std::max(Extent(hwnd, bar) - 1, 0);
  si.nPage = static_cast<UINT>(bar == SB_HORZ ? r.right : r.bottom);
  SetScrollInfo(hwnd, bar, &si, TRUE);
}

void Scroll(HWND hwnd, int bar, WPARAM wparam) {
  SCROLLINFO si{};
  si.cbSize = sizeof si;
  si.fMask = SIF_ALL;
  GetScrollInfo(hwnd, bar, &si);
  const int page = std::max<int>(static_cast<int>(si.nPage), 1);
  int pos = si.nPos;
  switch (LOWORD(wparam)) {
    case SB_LINEUP: pos -= 16; break;
    case SB_LINEDOWN: pos += 16; break;
    case SB_PAGEUP: pos -= page; break;
    case SB_PAGEDOWN: pos += page; break;
    case SB_THUMBTRACK:
    case SB_THUMBPOSITION: pos = si.nTrackPos; break;
    case SB_TOP: pos = si.nMin; break;
    case SB_BOTTOM: pos = si.nMax; break;
    default: return;
  }
  pos = std::clamp(pos, si.nMin, std::max(si.nMin, si.nMax - page + 1));
  if (pos == si.nPos) return;
  const int delta = si.nPos - pos;
  si.fMask = SIF_POS;
  si.nPos = pos;
  SetScrollInfo(hwnd, bar, &si, TRUE);
  ScrollWindowEx(hwnd, bar == SB_HORZ ? delta : 0, bar == SB_VERT ? delta : 0, nullptr, nullptr,
                 nullptr, nullptr, SW_SCROLLCHILDREN | SW_INVALIDATE | SW_ERASE);
}

constexpr const char* kFramesProp = "TarnwickFrames";

void PaintFrames(HWND hwnd) {
  PAINTSTRUCT ps;
  HDC dc = BeginPaint(hwnd, &ps);
  if (auto* frames = static_cast<std::vector<RECT>*>(GetPropA(hwnd, kFramesProp))) {
    const int dx = GetScrollPos(hwnd, SB_HORZ), dy = GetScrollPos(hwnd, SB_VERT);
    for (RECT r : *frames) {
      OffsetRect(&r, -dx, -dy);
      DrawEdge(dc, &r, EDGE_ETCHED, BF_RECT);
    }
  }
  EndPaint(hwnd, &ps);
}

LRESULT CALLBACK ScrollBoxProc(HWND hwnd, UINT message, WPARAM wparam, LPARAM lparam) {
  switch (message) {
    case WM_PAINT:
      PaintFrames(hwnd);
      return 0;
    case WM_NCDESTROY:
      delete static_cast<std::vector<RECT>*>(RemovePropA(hwnd, kFramesProp));
      break;
    case WM_HSCROLL:
      Scroll(hwnd, SB_HORZ, wparam);
      return 0;
    case WM_VSCROLL:
      Scroll(hwnd, SB_VERT, wparam);
      return 0;
    case WM_SIZE:
      UpdateScrollRange(hwnd, SB_HORZ);
      UpdateScrollRange(hwnd, SB_VERT);
      break;
    default:
      break;
  }
  return PanelProc(hwnd, message, wparam, lparam);
}

}  // namespace

void RegisterPanelClasses() {
  const HINSTANCE instance = GetModuleHandleA(nullptr);
  WNDCLASSEXA wc{};
  wc.cbSize = sizeof wc;
  wc.hInstance = instance;
  wc.hCursor = LoadCursor(nullptr, IDC_ARROW);
  wc.hbrBackground = static_cast<HBRUSH>(GetStockObject(WHITE_BRUSH));
  WNDCLASSEXA existing{};
  const std::pair<const char*, WNDPROC> classes[] = {
      {kPanelClass, PanelProc}, {kBandClass, BandProc}, {kScrollBoxClass, ScrollBoxProc}};
  for (auto [name, proc] : classes) {
    if (GetClassInfoExA(instance, name, &existing)) continue;
    wc.lpszClassName = name;
    wc.lpfnWndProc = proc;
    RegisterClassExA(&wc);
  }
}

void SetBandPattern(HWND band, HBITMAP pattern) {
  SetPropA(band, kPatternProp, pattern);
  InvalidateRect(band, nullptr, FALSE);
}

void SetGroupFrames(HWND scroll_box, std::vector<RECT> frames) {
  delete static_cast<std::vector<RECT>*>(RemovePropA(scroll_box, kFramesProp));
  SetPropA(scroll_box, kFramesProp, new std::vector<RECT>(std::move(frames)));
  InvalidateRect(scroll_box, nullptr, TRUE);
}

void SetScrollExtent(HWND scroll_box, int width, int height) {
  SetPropA(scroll_box, kExtentXProp, reinterpret_cast<HANDLE>(static_cast<INT_PTR>(width)));
  SetPropA(scroll_box, kExtentYProp, reinterpret_cast<HANDLE>(static_cast<INT_PTR>(height)));
  UpdateScrollRange(scroll_box, SB_HORZ);
  UpdateScrollRange(scroll_box, SB_VERT);
}

}  // namespace tarnwick
