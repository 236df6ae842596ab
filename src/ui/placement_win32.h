#pragma once
// The Win32 side of the placement rules: the bounds and the screen they read.
#include <windows.h>

#include "ui/placement.h"

namespace tarnwick {

// The primary screen's size in pixels.
ScreenSize PrimaryScreen();

// A window's bounds in its normal state: where a minimized window comes back
// to, else where it is now.
WindowRect NormalBoundsOf(HWND window);

// Moves `dialog` over `owner` by the dialog rule (PlaceDialogOver), or to the
// middle of the screen when there is no owner.
void PlaceDialogWindow(HWND dialog, HWND owner);

}  // namespace tarnwick
