#include "ui/placement.h"

#include <cmath>

namespace tarnwick {
namespace {

int RoundHalfEven(double value) { return static_cast<int>(std::nearbyint(value)); }

}  // namespace

Placement PlaceMainWindow(const WindowGeometry& stored, ScreenSize screen) {
  Placement placement;
  if (stored.Status != 0) {
    placement.maximized = true;
    return placement;
  }
  WindowRect& r = placement.bounds;
  if (stored.Left + RoundHalfEven(stored.Width / 4.0) >= screen.width - 10 ||
      stored.Top + RoundHalfEven(stored.Height / 4.0) >= screen.height - 10) {
    r.left = 0;
    r.top = 0;
  } else {
    r.left = stored.Left > 0 ? stored.Left : 0;
    r.top = stored.Top > 0 ? stored.Top : 0;
  }
  r.width = stored.Width <= screen.width - 25 ? stored.Width : (screen.width >= 800 ? 725 : 600);
  r.height =
      stored.Height <= screen.height - 25 ? stored.Height : (screen.height >= 600 ? 516 : 450);
  return placement;
}

WindowRect CentreOnScreen(const WindowRect& window, ScreenSize screen) {
  WindowRect r = window;
  r.left = RoundHalfEven(screen.width / 2.0) - RoundHalfEven(window.width / 2.0);
  r.top = RoundHalfEven(screen.height / 2.0) - RoundHalfEven(window.height / 2.0);
  return r;
}

WindowRect PlaceDialogOver(const WindowRect& owner, int width, int height, ScreenSize screen) {
  const int half_owner_w = RoundHalfEven(owner.width / 2.0), half_w = RoundHalfEven(width / 2.0);
  const int half_owner_h = RoundHalfEven(owner.height / 2.0), half_h = RoundHalfEven(height / 2.0);
  WindowRect r{0, 0, width, height};
  r.left = owner.left + half_owner_w + half_w < screen.width
               ? owner.left + half_owner_w - half_w + 10
               : owner.left + 10;
  r.top = owner.top + half_owner_h + half_h < screen.height ? owner.top + half_owner_h - half_h
                                                              : owner.top;
  return r;
}

WindowRect WorkspaceToScreen(const WindowRect& bounds, const WindowRect& monitor,
                             const WindowRect& work_area) {
  WindowRect r = bounds;
  r.left += work_area.left - monitor.left;
  r.top += work_area.top - monitor.top;
  return r;
}

}  // namespace tarnwick
