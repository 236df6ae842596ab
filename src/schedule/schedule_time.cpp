#include "schedule/schedule_time.h"

#include <cmath>

namespace tarnwick {
namespace {

int64_t FloorDiv(int64_t a, int64_t b) {
  const int64_t q = a / b;
  return (a % b != 0 && (a < 0) != (b < 0)) ? q - 1 : q;
}

// Days from 1970-01-01 to a civil date (H. Hinnant's algorithm).
int64_t DaysFromCivil(int64_t y, unsigned m, unsigned d) {
  y -= m <= 2;
  const int64_t era = FloorDiv(y, 400);
  const unsigned yoe = static_cast<unsigned>(y - era * 400);
  const unsigned doy = (153 * (m + (m > 2 ? -3 : 9)) + 2) / 5 + d - 1;
  const unsigned doe = yoe * 365 + yoe / 4 - yoe / 100 + doy;
  return era * 146097 + static_cast<int64_t>(doe) - 719468;
}

// 1899-12-30 counted from 1970-01-01.
constexpr int64_t kEpochShiftDays = -25569;

}  // namespace

int64_t DateTimeToMs(double datetime) {
  return std::llround(datetime * kMsPerDay);
}

double MsToDateTime(int64_t ms) {
  return static_cast<double>(ms) / kMsPerDay;
}

int64_t DayIndex(int64_t ms) {
  return FloorDiv(ms, kMsPerDay);
}

double EncodeDateTime(int year, int month, int day, int hour, int minute, int second,
                      int millisecond) {
  const int64_t days =
      DaysFromCivil(year, static_cast<unsigned>(month), static_cast<unsigned>(day)) -
      kEpochShiftDays;
  const int64_t ms = ((hour * 60 + minute) * 60 + second) * 1000LL + millisecond;
  return MsToDateTime(days * kMsPerDay + ms);
}

int DayOfWeek(double datetime) {
  const int64_t day = DayIndex(DateTimeToMs(datetime));
  const int64_t since_saturday = ((day % 7) + 7) % 7;  // day 0 is a Saturday
  return static_cast<int>((since_saturday + 6) % 7) + 1;
}

}  // namespace tarnwick
