#pragma once
// Date-times as the settings store them: days since 30 December 1899 (a
// Saturday), the fraction being the time of day, in local wall-clock time. The
// scheduler compares and adds them in whole milliseconds, so that a time set as
// 08:00:00 and a clock reading 08:00:00 are equal, not a rounding error apart.
#include <cstdint>

namespace tarnwick {

inline constexpr int64_t kMsPerDay = 86'400'000;

int64_t DateTimeToMs(double datetime);
double MsToDateTime(int64_t ms);
// The day (since 30 December 1899) that `ms` lies in; days before it count down.
int64_t DayIndex(int64_t ms);

// The local date-time of a calendar date and time (proleptic Gregorian).
double EncodeDateTime(int year, int month, int day, int hour, int minute, int second,
                      int millisecond = 0);

// 1 Sunday .. 7 Saturday, the numbering of the stored weekday list.
int DayOfWeek(double datetime);

}  // namespace tarnwick
