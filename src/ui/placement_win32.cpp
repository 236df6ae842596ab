#include "ui/placement_win32.h"

namespace tarnwick {

ScreenSize PrimaryScreen() {
  return {GetSystemMetrics(SM_CXSCREEN), GetSystemMetrics(SM_CYSCREEN)};
}

WindowRect NormalBoundsOf(HWND window) {
  RECT r{};
  WINDOWPLACEMENT placement{};
  placement.length = sizeof(placement);
  if (IsIconic(window) && GetWindowPlacement(window, &placement)) {
    r = placement.rcNormalPosition;
  } else {
    GetWindowRect(window, &r);
  }
  return {r.left, r.top, r.right - r.left, r.bottom - r.top};
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
