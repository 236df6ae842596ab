#include "ui/window_bounds_win32.h"

#include "ui/placement.h"

namespace tarnwick {
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

}  // namespace tarnwick
