#include "schedule/scheduler.h"

#include <algorithm>
#include <cstdlib>

#include "schedule/schedule_time.h"

namespace tarnwick {

std::optional<double> ComputeNextDialTime(double now, double schedtime,
                                          const std::vector<int32_t>& weekdays) {
  const int64_t now_ms = DateTimeToMs(now);
  // The time of day: the fraction of the stored date-time, whatever its date.
  const int64_t time_of_day = std::llabs(DateTimeToMs(schedtime) % kMsPerDay);
  const int64_t today = DayIndex(now_ms);
  const int64_t base_day = now_ms <= today * kMsPerDay + time_of_day ? today : today + 1;
  const int base_weekday = DayOfWeek(MsToDateTime(base_day * kMsPerDay));

  std::optional<int> days_ahead;
  for (int32_t weekday : weekdays) {
    if (weekday < 1 || weekday > 7) continue;
    const int ahead = (weekday - base_weekday + 7) % 7;
    if (!days_ahead || ahead < *days_ahead) days_ahead = ahead;
  }
  if (!days_ahead) return std::nullopt;
  return MsToDateTime((base_day + *days_ahead) * kMsPerDay + time_of_day);
}

void Scheduler::ComputeNextDialTime() {
  next_dial_time_ =
      tarnwick::ComputeNextDialTime(d_.clock.Now(), d_.settings.schedtime, d_.settings.weekdays);
}

void Scheduler::Start() {
  if (d_.settings.schedenabled) ComputeNextDialTime();
  if (!d_.settings.schedenabled || !next_dial_time_) {
    next_dial_time_.reset();
    d_.timer.SetEnabled(false);
    return;
  }
  d_.timer.SetInterval(kSchedulerIntervalMs);
  d_.timer.SetEnabled(true);
}

void Scheduler::Resume() {
  if (d_.settings.schedenabled && next_dial_time_) d_.timer.SetEnabled(true);
}

void Scheduler::Tick() {
  if (running_) return;
  d_.timer.SetEnabled(false);
  if (!next_dial_time_) return;  // nothing scheduled: the check stays off
  running_ = true;
  const int64_t due = DateTimeToMs(*next_dial_time_);
  const int64_t now = DateTimeToMs(d_.clock.Now());
  if (due <= now) {
    d_.dialer.DialScheduled();
    // From past the dial moment, even for a check that met it to the millisecond:
    // the next dial lies on a later day.
    next_dial_time_ = tarnwick::ComputeNextDialTime(MsToDateTime(std::max(now, due + 1)),
                                                    d_.settings.schedtime, d_.settings.weekdays);
  }
  running_ = false;
  if (next_dial_time_) d_.timer.SetEnabled(true);
}

}  // namespace tarnwick
