#include "notify/clock_win32.h"

#include <windows.h>

namespace tarnwick {

uint64_t Win32Clock::NowMs() const {
  return GetTickCount64();
}

}  // namespace tarnwick
