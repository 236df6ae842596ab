// The main window's engines against the simulated RAS service, in real time:
// the keep-alive timer pings only while the link is up, and the scheduler
// dials through the reconnect window with its own message, never opening a
// second one.
#include <windows.h>
// After windows.h, whose types it uses.
#include <commctrl.h>

#include <optional>

#include "schedule/local_clock_win32.h"
#include "schedule/schedule_time.h"
#include "win/ui/main_watch_fixture.h"

namespace tarnwick {
namespace {

using testing::kPhonebook;
using testing::Text;

BOOL CALLBACK CountReconnectWindows(HWND hwnd, LPARAM count) {
  char name[64] = {};
  GetClassNameA(hwnd, name, sizeof name);
  if (std::string(name) == kReconnectingWindowClass) ++*reinterpret_cast<int*>(count);
  return TRUE;
}

class MainEnginesTest : public testing::MainWatchTest {
 public:
  bool NotConnectedShown() const {
    return (GetWindowLongA(window->Controls().Image3, GWL_STYLE) & WS_VISIBLE) != 0;
  }
  size_t Dials() const { return LogLines("RasDialA").size(); }
  int ReconnectWindows() const {
    int count = 0;
    EnumThreadWindows(GetCurrentThreadId(), CountReconnectWindows,
                      reinterpret_cast<LPARAM>(&count));
    return count;
  }
  // The time of day a few seconds from now, as the schedule stores it.
  static double SoonTimeOfDay(int seconds) {
    const int64_t ms = DateTimeToMs(Win32LocalClock().Now()) + seconds * 1000;
    return MsToDateTime(ms - DayIndex(ms) * kMsPerDay);
  }
  void ScheduleEveryDaySoon(int seconds) {
    app.settings.schedenabled = true;
    app.settings.weekdays = {1, 2, 3, 4, 5, 6, 7};
    app.settings.schedtime = SoonTimeOfDay(seconds);
  }
};

TEST_F(MainEnginesTest, TheKeepAliveTimerPingsOnlyWhileTheLinkIsUp) {
  WriteControl(kPhonebook);
  app.settings.kaMethod = 1;
  app.settings.kaPingHost = "127.0.0.1";
  app.settings.kaPingInterval = 1;
  MainWatch& watch = Start().Watch();  // the main window itself stays hidden, as in the tray
  EXPECT_EQ(watch.tmKeepAlive().Interval(), 60000u);
  ASSERT_TRUE(NotConnectedShown());

  SendMessageA(window->hwnd(), WM_TIMER, kTimerKeepAlive, 0);
  EXPECT_EQ(watch.Engines().ICMP().sequence(), 0);  // nothing sent
  EXPECT_TRUE(watch.tmKeepAlive().Enabled());

  WriteControl(std::string(kPhonebook) + "connected Home DSL\n");
  ASSERT_TRUE(PumpUntil([&] { return !NotConnectedShown(); }, 4000));
  const ULONGLONG start = GetTickCount64();
  SendMessageA(window->hwnd(), WM_TIMER, kTimerKeepAlive, 0);
  EXPECT_EQ(watch.Engines().ICMP().sequence(), 3);
  EXPECT_GE(GetTickCount64() - start, 4900u);  // the pause at the end of the tick
  EXPECT_TRUE(watch.tmKeepAlive().Enabled());
  char panel[128] = "unchanged";
  SendMessageA(window->Controls().StatusBar1, SB_GETTEXTA, 0, reinterpret_cast<LPARAM>(panel));
  EXPECT_STREQ(panel, "");
}

TEST_F(MainEnginesTest, AScheduledDialOpensTheReconnectWindowWithItsMessageAndDials) {
  WriteControl(kPhonebook);
  ScheduleEveryDaySoon(2);
  MainWatch& watch = Start().Watch();
  ASSERT_TRUE(watch.tmScheduler().Enabled());
  ASSERT_TRUE(watch.Engines().Schedule().NextDialTime());

  ASSERT_TRUE(PumpUntil([&] { return watch.ReconnectWindow() != nullptr; }, 8000));
  EXPECT_EQ(Text(watch.ReconnectWindow()->Label1()), kScheduledDialMessage);
  EXPECT_TRUE(IsIconic(watch.ReconnectWindow()->hwnd()));
  // The next dial is tomorrow's; the poll holds off while the window dials.
  const double next = *watch.Engines().Schedule().NextDialTime();
  EXPECT_GT(next - Win32LocalClock().Now(), 0.9);
  EXPECT_TRUE(watch.tmScheduler().Enabled());
  EXPECT_FALSE(watch.tmIPCheck().Enabled());

  ASSERT_TRUE(PumpUntil([&] { return watch.ReconnectWindow() == nullptr; }, 8000));
  EXPECT_EQ(LogLines("RasDialA entry=\"Home DSL\"").size(), 1u);
  EXPECT_FALSE(LogLines("connected entry=\"Home DSL\"").empty());
  EXPECT_TRUE(watch.tmIPCheck().Enabled());
  // The poll picks the connection up.
  EXPECT_TRUE(PumpUntil([&] { return !NotConnectedShown(); }, 5000));
}

TEST_F(MainEnginesTest, ADialWhileTheReconnectWindowIsOpenOpensNoSecondWindow) {
  // Every attempt fails; the window waits 8 s before its one retry.
  WriteControl(std::string(kPhonebook) + "outcome fail 678 at 2\n");
  app.settings.maxretries = 1;
  app.settings.redelay = 8;
  ScheduleEveryDaySoon(2);
  MainWatch& watch = Start().Watch();

  // Inside the window's wait (its loop holds the stack), another scheduled dial
  // falls due: a timer of the test's own moves the schedule to a second away.
  static MainEnginesTest* self;
  static std::optional<double> moved_to;
  self = this;
  moved_to.reset();
  const UINT_PTR mover = SetTimer(nullptr, 0, 200, [](HWND, UINT, UINT_PTR, DWORD) {
    MainWatch& w = self->window->Watch();
    if (moved_to || !w.ReconnectWindow() || self->Dials() == 0) return;
    self->app.settings.schedtime = SoonTimeOfDay(1);
    w.StartScheduler();
    moved_to = w.Engines().Schedule().NextDialTime();
  });
  ASSERT_TRUE(PumpUntil(
      [&] {
        return moved_to && *watch.Engines().Schedule().NextDialTime() > *moved_to &&
               watch.ReconnectWindow() && !watch.ReconnectWindow()->LoopRunning();
      },
      30000));
  KillTimer(nullptr, mover);

  EXPECT_EQ(ReconnectWindows(), 1);
  EXPECT_EQ(LogLines("RasDialA").size(), 2u);  // the window's first attempt and its retry
  EXPECT_EQ(Text(watch.ReconnectWindow()->teStatus()), kMaxRetriesText);
  watch.ReconnectWindow()->Button1Click();
  EXPECT_EQ(watch.ReconnectWindow(), nullptr);
  EXPECT_TRUE(watch.tmIPCheck().Enabled());
}

}  // namespace
}  // namespace tarnwick
