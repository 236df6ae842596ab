#pragma once
// The DPI windows are drawn at. The manifest declares per-monitor awareness, so
// each window scales its own layout and pictures.
#include <windows.h>

namespace tarnwick {

// The system's DPI (96 when it cannot be read).
int SystemDpi();

// A window's own DPI under per-monitor awareness (Windows 10 1607 and later),
// else the system's.
int WindowDpi(HWND window);

}  // namespace tarnwick
