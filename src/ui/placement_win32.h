#pragma once
// The Win32 side of the placement rules: the bounds and the screen they read.
#include <windows.h>

#include "ui/placement.h"

namespace tarnwick {

// The primary screen's size in pixels.
ScreenSize PrimaryScreen();

// The window's bounds in its normal state, in screen coordinates: its current
// bounds when it is in that state, else those it returns to when restored.
WindowRect RestoredBoundsOf(HWND window);

// Where a window stands: where a minimized window comes back to, else where it
// is now (a maximized one included).
WindowRect NormalBoundsOf(HWND window);

// Moves `dialog` over `owner` by the dialog rule (PlaceDialogOver), or to the
// middle of the screen when there is no owner.
void PlaceDialogWindow(HWND dialog, HWND owner);

}  // namespace tarnwick
