#include "net/mail_date.h"

#include <cstdio>
#include <cstdlib>

namespace tarnwick::net {
namespace {

// 0 Sunday .. 6 Saturday, for the proleptic Gregorian calendar.
int Weekday(int year, int month, int day) {
  static constexpr int kOffsets[] = {0, 3, 2, 5, 0, 3, 5, 1, 4, 6, 2, 4};
  if (month < 3) year -= 1;
  return (year + year / 4 - year / 100 + year / 400 + kOffsets[(month - 1) % 12] + day) % 7;
}

}  // namespace

std::string FormatMailDate(const MailTime& t) {
  static constexpr const char* kDays[] = {"Sun", "Mon", "Tue", "Wed", "Thu", "Fri", "Sat"};
  static constexpr const char* kMonths[] = {"Jan", "Feb", "Mar", "Apr", "May", "Jun",
                                            "Jul", "Aug", "Sep", "Oct", "Nov", "Dec"};
  const int month = (t.month >= 1 && t.month <= 12) ? t.month : 1;
  const int offset = std::abs(t.utc_offset_minutes);
  char time[16];
  std::snprintf(time, sizeof time, "%02d:%02d:%02d", t.hour, t.minute, t.second);
  char zone[16];
  std::snprintf(zone, sizeof zone, "%c%02d%02d", t.utc_offset_minutes < 0 ? '-' : '+',
                offset / 60 % 100, offset % 60);
  char out[64];
  std::snprintf(out, sizeof out, "%s, %d %s %d %s %s", kDays[Weekday(t.year, month, t.day)], t.day,
                kMonths[month - 1], t.year, time, zone);
  return out;
}

}  // namespace tarnwick::net
