#pragma once
// The daily connect scheduler (`tmSchedulerTimer`): it keeps the next dial time,
// checks it every three seconds and, once it has come, hands the dial to the
// reconnect window and computes the following one. Times are local wall-clock
// date-times, so a dial set for 08:00 happens at 08:00 on either side of a
// daylight-saving change.
#include <optional>
#include <vector>

#include "app/settings.h"
#include "app/timer.h"

namespace tarnwick {

inline constexpr unsigned kSchedulerIntervalMs = 3000;

// The first listed weekday at the time of day of `schedtime` (its date part is
// ignored) that is not earlier than `now`: later today when today is listed and
// the time has not passed, else the next listed day, possibly next week.
// Weekdays are 1 Sunday .. 7 Saturday; entries outside that range (a damaged
// stored list) are passed over, and a list without a valid day gives no time.
std::optional<double> ComputeNextDialTime(double now, double schedtime,
                                          const std::vector<int32_t>& weekdays);

// The current local date-time.
class LocalClock {
 public:
  virtual ~LocalClock() = default;
  virtual double Now() const = 0;
};

// Opens the reconnect window minimized with the message "Performing scheduled
// Internet connection dialing." and returns without waiting for the dial. It
// opens nothing while the program is ending or a reconnect window is open.
class ScheduledDialer {
 public:
  virtual ~ScheduledDialer() = default;
  virtual void DialScheduled() = 0;
};

struct SchedulerDeps {
  const Settings& settings;
  TimerControl& timer;  // tmScheduler, 3000 ms
  const LocalClock& clock;
  ScheduledDialer& dialer;
};

class Scheduler {
 public:
  explicit Scheduler(const SchedulerDeps& deps) : d_(deps) {}

  // `NextDialTime` from now and the settings; none without a listed weekday.
  void ComputeNextDialTime();

  // The start point (creation, end of the wizard, after the schedule dialog):
  // with `schedenabled` and a listed weekday, computes the next dial time and
  // turns the check on; otherwise turns it off and forgets the dial time, so a
  // schedule turned off never dials.
  void Start();

  // After a redial: the check goes on when the schedule is on and a dial is due.
  void Resume();

  // One check (`tmSchedulerTimer`).
  void Tick();

  std::optional<double> NextDialTime() const { return next_dial_time_; }

 private:
  SchedulerDeps d_;
  std::optional<double> next_dial_time_;
  bool running_ = false;
};

}  // namespace tarnwick
