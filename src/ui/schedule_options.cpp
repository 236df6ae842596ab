#include "ui/schedule_options.h"

#include <cmath>

namespace tarnwick {
namespace {

constexpr int kSecondsPerDay = 86400;

}  // namespace

TimeOfDay TimeOfDayOf(double datetime) {
  if (!std::isfinite(datetime)) return {};
  // Before 1899-12-30 the fraction still counts forward from midnight: -1.25 is 06:00.
  const double fraction = std::fabs(datetime - std::trunc(datetime));
  const int seconds = static_cast<int>(std::lround(fraction * kSecondsPerDay)) % kSecondsPerDay;
  return {seconds / 3600, seconds / 60 % 60, seconds % 60};
}

double DayFraction(const TimeOfDay& time) {
  return (time.hour * 3600 + time.minute * 60 + time.second) / static_cast<double>(kSecondsPerDay);
}

ScheduleForm ScheduleFormFrom(const Settings& settings) {
  ScheduleForm form;
  form.enabled = settings.schedenabled;
  for (int32_t day : settings.weekdays) {
    if (day >= 1 && day <= 7) form.days[day - 1] = true;
  }
  form.time = TimeOfDayOf(settings.schedtime);
  form.delay = SpinText(settings.resdelay, kRetryDelaySpin);
  form.max_retries = SpinText(settings.maxsretries, kMaxRetriesSpin);
  form.user = settings.connuser;
  form.password = settings.connpass;
  return form;
}

std::optional<Refusal<ScheduleField>> ApplyScheduleForm(const ScheduleForm& form,
                                                        Settings& settings) {
  settings.schedenabled = form.enabled;
  settings.weekdays.clear();
  for (int32_t day = 1; day <= 7; ++day) {
    if (form.days[day - 1]) settings.weekdays.push_back(day);
  }
  settings.schedtime = DayFraction(form.time);
  if (!TakeRetryDelay(form.delay, settings.resdelay)) {
    return Refusal<ScheduleField>{kInvalidDelayMessage, ScheduleField::kDelay,
                                  std::to_string(settings.resdelay)};
  }
  if (!TakeMaxRetries(form.max_retries, settings.maxsretries)) {
    return Refusal<ScheduleField>{kInvalidRetriesMessage, ScheduleField::kMaxRetries,
                                  std::to_string(settings.maxsretries)};
  }
  settings.connuser = form.user;
  settings.connpass = form.password;
  return std::nullopt;
}

}  // namespace tarnwick
