#pragma once
// The bounds a window returns to, whatever state it is in now.
#include <windows.h>

#include "app/startup.h"

namespace tarnwick {

// The window's bounds in its normal state, in screen coordinates: its current
// bounds when it is in that state, else those it returns to when restored.
WindowRect RestoredBoundsOf(HWND window);

}  // namespace tarnwick
