#include "ui/placement_win32.h"

namespace tarnwick {

ScreenSize PrimaryScreen() {
  return {GetSystemMetrics(SM_CXSCREEN), GetSystemMetrics(SM_CYSCREEN)};
}

namespace {

WindowRect FromRect(const RECT& r) { return {r.left, r.top, r.right - r.left, r.bottom - r.top}; }

}  // namespace

WindowRect RestoredBoundsOf(HWND window) {
  RECT r{};
  if (!IsIconic(window) && !IsZoomed(window)) {
    GetWindowRect(window, &r);
    return FromRect(r);
  }
  WINDOWPLACEMENT placement{};
  placement.length = sizeof placement;
  GetWindowPlacement(window, &placement);
  const WindowRect normal = FromRect(placement.rcNormalPosition);
  // Tool windows get screen coordinates; other top-level windows workspace ones.
  if (GetWindowLongA(window, GWL_EXSTYLE) & WS_EX_TOOLWINDOW) return normal;
  MONITORINFO monitor{};
  monitor.cbSize = sizeof monitor;
  if (!GetMonitorInfoA(MonitorFromWindow(window, MONITOR_DEFAULTTONEAREST), &monitor)) {
    return normal;
  }
  return WorkspaceToScreen(normal, FromRect(monitor.rcMonitor), FromRect(monitor.rcWork));
}

WindowRect NormalBoundsOf(HWND window) {
  if (IsIconic(window)) return RestoredBoundsOf(window);
  RECT r{};
  GetWindowRect(window, &r);
  return FromRect(r);
}

void PlaceDialogWindow(HWND dialog, HWND owner) {
  RECT r{};
  GetWindowRect(dialog, &r);
  const int width = r.right - r.left, height = r.bottom - r.top;
  const WindowRect place =
      owner ? PlaceDialogOver(NormalBoundsOf(owner), width, height, PrimaryScreen())
            : CentreOnScreen({0, 0, width, height}, PrimaryScreen());
  SetWindowPos(dialog, nullptr, place.left, place.top, 0, 0,
               SWP_NOSIZE | SWP_NOZORDER | SWP_NOACTIVATE);
}

}  // namespace tarnwick
