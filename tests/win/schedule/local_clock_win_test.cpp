// The scheduler's clock reads the system's local time, with the weekday
// numbering of the stored list (1 Sunday .. 7 Saturday).
#include <gtest/gtest.h>
#include <windows.h>

#include "schedule/local_clock_win32.h"
#include "schedule/schedule_time.h"

namespace tarnwick {
namespace {

TEST(Win32LocalClock, ReadsTheLocalDateAndTimeWithTheSystemsWeekday) {
  SYSTEMTIME before, after;
  double now = 0;
  // Read again when the second (or the day) turned over between the readings.
  for (int attempt = 0; attempt < 5; ++attempt) {
    GetLocalTime(&before);
    now = Win32LocalClock().Now();
    GetLocalTime(&after);
    if (before.wSecond == after.wSecond) break;
  }
  const double expected = EncodeDateTime(after.wYear, after.wMonth, after.wDay, after.wHour,
                                         after.wMinute, after.wSecond, after.wMilliseconds);
  EXPECT_NEAR(DateTimeToMs(now), DateTimeToMs(expected), 1000);
  EXPECT_EQ(DayOfWeek(now), after.wDayOfWeek + 1);  // the system counts Sunday as 0
}

}  // namespace
}  // namespace tarnwick
