// The scheduler's dial times and its check, in virtual local time.
#include "schedule/scheduler.h"

#include <gtest/gtest.h>

#include <functional>
#include <string>
#include <vector>

#include "schedule/schedule_time.h"
#include "unit/engine_fakes.h"

namespace tarnwick {
namespace {

using testing::VirtualTimer;

// 13 to 19 May 2024 is a week from Monday to Sunday.
double May(int day, int hour, int minute = 0, int second = 0) {
  return EncodeDateTime(2024, 5, day, hour, minute, second);
}
double Time(int hour, int minute = 0, int second = 0) {
  return EncodeDateTime(1899, 12, 30, hour, minute, second);
}

std::string Text(std::optional<double> datetime) {
  if (!datetime) return "none";
  const int64_t ms = DateTimeToMs(*datetime);
  const int64_t day = DayIndex(ms), rest = ms - day * kMsPerDay;
  return "day " + std::to_string(day) + " weekday " + std::to_string(DayOfWeek(*datetime)) + " " +
         std::to_string(rest / 3600000) + ":" + std::to_string(rest / 60000 % 60) + ":" +
         std::to_string(rest / 1000 % 60);
}

TEST(ComputeNextDialTime, FirstListedDayAtTheSetTimeNotBeforeNow) {
  struct Row {
    const char* name;
    std::vector<int32_t> days;
    double schedtime, now;
    std::optional<double> next;
  } rows[] = {
      {"Wednesday 10:00 -> Friday", {2, 4, 6}, Time(8), May(15, 10), May(17, 8)},
      {"Thursday late -> Friday", {2, 4, 6}, Time(8), May(16, 23, 59, 59), May(17, 8)},
      {"Friday 09:00 -> next Monday", {2, 4, 6}, Time(8), May(17, 9), May(20, 8)},
      {"at the very moment -> now", {2, 4, 6}, Time(8), May(15, 8), May(15, 8)},
      {"only Friday, from Monday", {6}, Time(8), May(13, 12), May(17, 8)},
      {"only Friday, Friday after the time", {6}, Time(8), May(17, 9), May(24, 8)},
      {"only Friday, Friday before the time", {6}, Time(8), May(17, 7), May(17, 8)},
      {"only Sunday, Saturday evening", {1}, Time(8), May(18, 20), May(19, 8)},
      {"Saturday night past the time", {7}, Time(23, 30), May(18, 23, 45), May(25, 23, 30)},
      {"the date part of the time is ignored", {4}, 45000.75, May(15, 10), May(15, 18)},
      {"no weekday", {}, Time(8), May(15, 10), std::nullopt},
      {"a damaged list", {0, 9}, Time(8), May(15, 10), std::nullopt},
      {"an unsorted list", {6, 2}, Time(8), May(13, 7), May(13, 8)},
  };
  for (const Row& r : rows) {
    EXPECT_EQ(Text(ComputeNextDialTime(r.now, r.schedtime, r.days)), Text(r.next)) << r.name;
  }
}

// Local wall-clock time over a virtual UTC timeline with European summer time
// in 2024: +1 h, +2 h from 31 March 01:00 UTC to 27 October 01:00 UTC.
class VirtualLocalClock : public LocalClock {
 public:
  double Now() const override { return MsToDateTime(Local()); }
  int64_t Local() const {
    static const int64_t summer = DateTimeToMs(EncodeDateTime(2024, 3, 31, 1, 0, 0));
    static const int64_t winter = DateTimeToMs(EncodeDateTime(2024, 10, 27, 1, 0, 0));
    const int64_t hours = utc_ms >= summer && utc_ms < winter ? 2 : 1;
    return utc_ms + hours * 3600000;
  }
  // The first UTC moment that shows `local`.
  void SetLocal(double local) {
    for (int64_t hours : {2, 1}) {
      utc_ms = DateTimeToMs(local) - hours * 3600000;
      if (Local() == DateTimeToMs(local)) return;
    }
  }
  int64_t utc_ms = 0;
};

class RecordingDialer : public ScheduledDialer {
 public:
  explicit RecordingDialer(const LocalClock& clock) : clock_(clock) {}
  void DialScheduled() override { dials.push_back(clock_.Now()); }
  std::vector<double> dials;

 private:
  const LocalClock& clock_;
};

class SchedulerTest : public ::testing::Test {
 protected:
  // Lets the check timer tick every 3 s of UTC while it is on.
  void Run(int64_t ms) {
    for (int64_t end = clock.utc_ms + ms; clock.utc_ms < end;) {
      clock.utc_ms += kSchedulerIntervalMs;
      if (timer.enabled) scheduler.Tick();
    }
  }

  Settings settings;
  VirtualTimer timer;
  VirtualLocalClock clock;
  RecordingDialer dialer{clock};
  Scheduler scheduler{SchedulerDeps{settings, timer, clock, dialer}};
};

TEST_F(SchedulerTest, TheCheckDialsOnceWhenTheTimeHasComeAndMovesOn) {
  settings.schedenabled = true;
  settings.schedtime = Time(8);
  settings.weekdays = {2, 4, 6};
  clock.SetLocal(May(15, 7, 59, 50));
  scheduler.Start();
  ASSERT_TRUE(timer.enabled);

  clock.SetLocal(May(15, 7, 59, 59));
  scheduler.Tick();
  EXPECT_TRUE(dialer.dials.empty());
  clock.SetLocal(May(15, 8));
  scheduler.Tick();
  EXPECT_EQ(dialer.dials.size(), 1u);
  EXPECT_EQ(Text(scheduler.NextDialTime()), Text(May(17, 8)));
  EXPECT_TRUE(timer.enabled);
  clock.SetLocal(May(15, 8, 0, 3));
  scheduler.Tick();
  EXPECT_EQ(dialer.dials.size(), 1u);
}

TEST_F(SchedulerTest, AWeekDialsEveryListedDayOnceAtItsTime) {
  settings.schedenabled = true;
  settings.schedtime = Time(8);
  settings.weekdays = {2, 4, 6};
  clock.SetLocal(May(13, 0, 0, 1));
  scheduler.Start();
  Run(7 * kMsPerDay);
  ASSERT_EQ(dialer.dials.size(), 3u);
  const double expected[] = {May(13, 8), May(15, 8), May(17, 8)};
  for (size_t i = 0; i < 3; ++i) {
    EXPECT_GE(DateTimeToMs(dialer.dials[i]), DateTimeToMs(expected[i]));
    EXPECT_LT(DateTimeToMs(dialer.dials[i]), DateTimeToMs(expected[i]) + kSchedulerIntervalMs);
  }
}

TEST_F(SchedulerTest, DaylightSavingChangesKeepTheWallClockTime) {
  struct Row {
    const char* name;
    double schedtime;
    double start;
    std::vector<double> dials;  // local times, each met within one check
  } rows[] = {
      {"spring, 08:00 every day",
       Time(8),
       EncodeDateTime(2024, 3, 29, 0, 0, 0),
       {EncodeDateTime(2024, 3, 29, 8, 0, 0), EncodeDateTime(2024, 3, 30, 8, 0, 0),
        EncodeDateTime(2024, 3, 31, 8, 0, 0), EncodeDateTime(2024, 4, 1, 8, 0, 0)}},
      {"spring, 02:30 does not exist on the day: dialed at 03:00",
       Time(2, 30),
       EncodeDateTime(2024, 3, 30, 12, 0, 0),
       {EncodeDateTime(2024, 3, 31, 3, 0, 0), EncodeDateTime(2024, 4, 1, 2, 30, 0)}},
      {"autumn, 02:30 comes twice on the day: dialed once",
       Time(2, 30),
       EncodeDateTime(2024, 10, 26, 12, 0, 0),
       {EncodeDateTime(2024, 10, 27, 2, 30, 0), EncodeDateTime(2024, 10, 28, 2, 30, 0)}},
  };
  for (const Row& r : rows) {
    SCOPED_TRACE(r.name);
    settings.schedenabled = true;
    settings.schedtime = r.schedtime;
    settings.weekdays = {1, 2, 3, 4, 5, 6, 7};
    clock.SetLocal(r.start);
    dialer.dials.clear();
    scheduler.Start();
    Run(static_cast<int64_t>(r.dials.size()) * kMsPerDay - 6 * 3600000);
    ASSERT_EQ(dialer.dials.size(), r.dials.size());
    for (size_t i = 0; i < r.dials.size(); ++i) {
      EXPECT_GE(DateTimeToMs(dialer.dials[i]), DateTimeToMs(r.dials[i])) << i;
      EXPECT_LT(DateTimeToMs(dialer.dials[i]), DateTimeToMs(r.dials[i]) + kSchedulerIntervalMs)
          << i;
    }
  }
}

TEST_F(SchedulerTest, StartPointsArmTheCheckOnlyForAScheduleThatCanDial) {
  struct Row {
    const char* name;
    bool enabled;
    std::vector<int32_t> days;
    bool timer_after;
  } rows[] = {
      {"on, Wednesday", true, {4}, true},
      {"on, no weekday ticked", true, {}, false},
      {"turned off", false, {4}, false},
  };
  for (const Row& r : rows) {
    // A schedule that was running with a dial due in a second.
    settings.schedenabled = true;
    settings.weekdays = {4};
    settings.schedtime = Time(8);
    clock.SetLocal(May(15, 7, 59, 59));
    scheduler.Start();
    dialer.dials.clear();

    settings.schedenabled = r.enabled;
    settings.weekdays = r.days;
    scheduler.Start();
    EXPECT_EQ(timer.enabled, r.timer_after) << r.name;
    EXPECT_EQ(scheduler.NextDialTime().has_value(), r.timer_after) << r.name;
    // A check that still comes (a timer message already queued) dials only a live schedule.
    clock.SetLocal(May(15, 8, 0, 1));
    scheduler.Tick();
    EXPECT_EQ(dialer.dials.size(), r.timer_after ? 1u : 0u) << r.name;
    // After a redial the check comes back only for a live schedule.
    timer.SetEnabled(false);
    scheduler.Resume();
    EXPECT_EQ(timer.enabled, r.timer_after) << r.name;
  }
}

}  // namespace
}  // namespace tarnwick
