#include "app/message_loop_win32.h"

#include <windows.h>

#include <algorithm>

namespace tarnwick {
namespace {

bool g_quitting = false;

}  // namespace

bool ProcessMessages() {
  MSG msg;
  while (!g_quitting && PeekMessageA(&msg, nullptr, 0, 0, PM_REMOVE)) {
    if (msg.message == WM_QUIT) {
      g_quitting = true;
      PostQuitMessage(static_cast<int>(msg.wParam));
      break;
    }
    TranslateMessage(&msg);
    DispatchMessageA(&msg);
  }
  return !g_quitting;
}

bool Quitting() { return g_quitting; }

void ResetMessageLoopState() {
  MSG msg;
  while (PeekMessageA(&msg, nullptr, WM_QUIT, WM_QUIT, PM_REMOVE)) {
  }
  g_quitting = false;
}

void TerminateApplication() {
  g_quitting = true;
  PostQuitMessage(0);
}

bool PumpingSleep(unsigned milliseconds) {
  const ULONGLONG end = GetTickCount64() + milliseconds;
  while (ProcessMessages()) {
    const ULONGLONG now = GetTickCount64();
    if (now >= end) return true;
    MsgWaitForMultipleObjects(0, nullptr, FALSE,
                              static_cast<DWORD>(std::min<ULONGLONG>(end - now, 100)),
                              QS_ALLINPUT);
  }
  return false;
}

}  // namespace tarnwick
