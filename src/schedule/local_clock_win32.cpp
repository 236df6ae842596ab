#include "schedule/local_clock_win32.h"

#include <windows.h>

#include "schedule/schedule_time.h"

namespace tarnwick {

double Win32LocalClock::Now() const {
  SYSTEMTIME t;
  GetLocalTime(&t);
  return EncodeDateTime(t.wYear, t.wMonth, t.wDay, t.wHour, t.wMinute, t.wSecond, t.wMilliseconds);
}

}  // namespace tarnwick
