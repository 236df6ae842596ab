#pragma once
// What the DialUp Scheduler dialog shows and stores (see option_fields.h for
// the pattern): the schedule's switch, weekdays and time of day, the retry
// values stored with it and the dial credentials.
#include <array>
#include <optional>
#include <string>

#include "app/settings.h"
#include "ui/option_fields.h"

namespace tarnwick {

// A time of day to the second, as the time picker holds it.
struct TimeOfDay {
  int hour = 0;
  int minute = 0;
  int second = 0;
  bool operator==(const TimeOfDay&) const = default;
};

// The time of day of a date-time (days since 1899-12-30): its fraction of a
// day, rounded to the second; the date part does not count.
TimeOfDay TimeOfDayOf(double datetime);
// The fraction of a day of `time`, as `schedtime` stores it.
double DayFraction(const TimeOfDay& time);

struct ScheduleForm {
  bool enabled = false;        // cbSchedEnabled
  std::array<bool, 7> days{};  // cbSunday .. cbSaturday: weekday numbers 1 .. 7
  TimeOfDay time;              // dtStartTime
  std::string delay;           // teDelay
  std::string max_retries;     // teMaxRetries
  std::string user;            // teUserName
  std::string password;        // tePassword
  bool operator==(const ScheduleForm&) const = default;
};

enum class ScheduleField { kDelay, kMaxRetries };

ScheduleForm ScheduleFormFrom(const Settings& settings);

// The switch, the weekday list (ascending, from the ticked days) and the time
// are taken before the checks, so they are in effect even when one fails.
std::optional<Refusal<ScheduleField>> ApplyScheduleForm(const ScheduleForm& form,
                                                        Settings& settings);

}  // namespace tarnwick
