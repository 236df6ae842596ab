#include "notify/pumping_sleeper_win32.h"

#include <windows.h>

namespace tarnwick {

void Win32PumpingSleeper::Sleep(int ms) {
  ::Sleep(ms > 0 ? static_cast<DWORD>(ms) : 0);
}

void Win32PumpingSleeper::ProcessMessages() {
  MSG msg;
  while (PeekMessageA(&msg, nullptr, 0, 0, PM_REMOVE)) {
    if (msg.message == WM_QUIT) {
      // Returning at once: the re-posted message would be taken again by this loop.
      quitting_ = true;
      PostQuitMessage(static_cast<int>(msg.wParam));
      return;
    }
    TranslateMessage(&msg);
    DispatchMessageA(&msg);
  }
}

}  // namespace tarnwick
