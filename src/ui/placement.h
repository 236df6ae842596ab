#pragma once
// Where the main window opens, from the stored geometry and the screen size.
#include "app/settings.h"
#include "app/startup.h"

namespace tarnwick {

struct ScreenSize {
  int width = 0;
  int height = 0;
};

struct Placement {
  bool maximized = false;
  WindowRect bounds;  // normal-state bounds when not maximized
};

// Keeps the window on the screen: far-off positions go to 0,0, negative ones to
// 0, sizes larger than the screen shrink to a standard size.
Placement PlaceMainWindow(const WindowGeometry& stored, ScreenSize screen);

// Centred on the screen (first start); halves round to the nearest, ties to even.
WindowRect CentreOnScreen(const WindowRect& window, ScreenSize screen);

// A dialog of `width` x `height` over the main window `owner`: 10 pixels right of
// its centre line when that fits on the screen, else at its left edge + 10;
// vertically centred when that fits, else at its top.
WindowRect PlaceDialogOver(const WindowRect& owner, int width, int height, ScreenSize screen);

// A minimized or maximized top-level window reports its normal bounds in
// workspace coordinates, which start at the corner of its monitor's work area:
// with the taskbar at the top or left they are off by the taskbar's size.
WindowRect WorkspaceToScreen(const WindowRect& bounds, const WindowRect& monitor,
                             const WindowRect& work_area);

}  // namespace tarnwick
