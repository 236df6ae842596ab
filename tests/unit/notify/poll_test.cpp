#include "notify/poll.h"

#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <algorithm>

#include "app/message_box.h"
#include "support/activity_recorder.h"
#include "unit/notify/poll_fakes.h"

namespace tarnwick {
namespace {

using test::StepOfKind;
using ::testing::ElementsAre;

constexpr const char* kEntry = "Office DSL";
constexpr const char* kDevice = "WAN Miniport (PPPOE)";

class PollTest : public ::testing::Test {
 protected:
  PollTest() {
    ras.poll = &loop;
    view.selected = kEntry;
    previous_handler = SetMessageBoxHandler([this](const MessageBoxRequest& box) {
      boxes.push_back(box);
      return int{kAnswerOk};
    });
  }
  ~PollTest() override { SetMessageBoxHandler(previous_handler); }

  void Connect(const std::string& address, RasHandle handle = 7) {
    ras.active = {{handle, kEntry, kDevice}};
    ras.addresses[handle] = address;
  }
  void Tick() {
    loop.Tick();
    pump.now_ms += 1000;  // the timer's period
  }

  Settings settings;
  WatchState state;
  test::FakeView view;
  test::FakeHost host;
  test::FakeRas ras;
  test::RecordingExecutor executor;
  test::FakePump pump;
  IpCheckLoop loop{PollDependencies{settings, state, view, host, ras, executor, pump, pump, {}}};
  std::vector<MessageBoxRequest> boxes;
  MessageBoxHandler previous_handler;
};

TEST_F(PollTest, NewAddressWithMonitoringRunsTheScriptOnceThenRecordsIt) {
  settings.MonitorIP = true;
  settings.notifs = {StepOfKind(kNotifyEmail), StepOfKind(kNotifyLaunch)};
  Connect("10.20.30.40");
  // The steps take the address the main window shows.
  executor.before_step = [&](int, const Notif&) {
    EXPECT_EQ(view.Label(PollLabel::kAddress), "10.20.30.40");
    EXPECT_EQ(settings.lastip, "192.168.0.1");
  };
  Tick();
  EXPECT_THAT(executor.calls, ElementsAre("M1@10.20.30.40", "L2@"));
  EXPECT_EQ(settings.lastip, "10.20.30.40");
  EXPECT_EQ(host.saves, 1);
  EXPECT_EQ(view.picture, "Image2");
  EXPECT_TRUE(host.poll_enabled);

  Tick();
  Tick();
  EXPECT_EQ(executor.calls.size(), 2u);
  EXPECT_EQ(host.saves, 1);
}

TEST_F(PollTest, DefaultAddressNeverRunsTheScriptButIsRemembered) {
  settings.MonitorIP = true;
  settings.lastip = "10.0.0.1";
  settings.notifs = {StepOfKind(kNotifyEmail)};
  Connect("192.168.0.1");
  Tick();
  EXPECT_TRUE(executor.calls.empty());
  EXPECT_EQ(settings.lastip, "192.168.0.1");
  EXPECT_EQ(host.saves, 0);
}

TEST_F(PollTest, WithoutMonitoringTheAddressIsFollowedAndOnlyALaterChangeRuns) {
  settings.notifs = {StepOfKind(kNotifyEmail)};
  Connect("10.0.0.5");
  Tick();
  EXPECT_EQ(settings.lastip, "10.0.0.5");
  settings.MonitorIP = true;
  Tick();
  EXPECT_TRUE(executor.calls.empty());
  Connect("10.0.0.6");
  Tick();
  EXPECT_THAT(executor.calls, ElementsAre("M1@10.0.0.6"));
  EXPECT_EQ(host.saves, 1);
}

TEST_F(PollTest, EmptyListStillRecordsAndSavesTheAddress) {
  settings.MonitorIP = true;
  Connect("10.0.0.5");
  Tick();
  EXPECT_EQ(settings.lastip, "10.0.0.5");
  EXPECT_EQ(host.saves, 1);
}

TEST_F(PollTest, ListReplacedWhileAStepWaitsDoesNotChangeTheRun) {
  settings.MonitorIP = true;
  settings.notifs = {StepOfKind(kNotifySleep), StepOfKind(kNotifyEmail)};
  executor.before_step = [&](int position, const Notif&) {
    if (position == 1) settings.notifs.clear();  // options dialog confirmed meanwhile
  };
  Connect("10.0.0.5");
  Tick();
  EXPECT_THAT(executor.calls, ElementsAre("Z1@", "M2@10.0.0.5"));
  EXPECT_EQ(settings.lastip, "10.0.0.5");
}

TEST_F(PollTest, EntryNameInOtherLetterCaseIsNotConnected) {
  settings.MonitorIP = true;
  settings.notifs = {StepOfKind(kNotifyEmail)};
  ras.active = {{7, "office dsl", kDevice}};
  ras.addresses[7] = "10.0.0.5";
  Tick();
  EXPECT_EQ(view.picture, "Image3");
  EXPECT_EQ(view.Label(PollLabel::kAddress), "");
  EXPECT_TRUE(executor.calls.empty());
  EXPECT_EQ(settings.lastip, "192.168.0.1");
  EXPECT_TRUE(host.poll_enabled);
}

TEST_F(PollTest, TickTakesTheSelectedEntryAsConname) {
  view.selected = "Backup ISDN";
  Tick();
  EXPECT_EQ(settings.conname, "Backup ISDN");
  EXPECT_EQ(ras.entry, "Backup ISDN");
}

TEST_F(PollTest, ShowsGroupedCountersAndRates) {
  Connect("10.0.0.5");
  ras.counts = {1234567, 2000, 115200};
  Tick();
  EXPECT_EQ(view.Label(PollLabel::kConnSpeed), "115,200 Bps");
  EXPECT_EQ(view.Label(PollLabel::kBytesSent), "1,234,567");
  EXPECT_EQ(view.Label(PollLabel::kBytesReceived), "2,000");
  // Previous counts are 0 after start-up: the rate labels are left alone.
  EXPECT_EQ(view.Label(PollLabel::kSendRate), "(untouched)");

  ras.counts = {1234567 + 1025, 2000 + 1024, 115200};
  Tick();
  EXPECT_EQ(view.Label(PollLabel::kSendRate), "1.0 Kb/s");
  EXPECT_EQ(view.Label(PollLabel::kReceiveRate), "1024 bps");

  ras.counts = {1234567 + 1025, 100, 115200};  // received count went backwards
  Tick();
  EXPECT_EQ(view.Label(PollLabel::kSendRate), "0 bps");
  EXPECT_EQ(view.Label(PollLabel::kReceiveRate), "1024 bps");
}

TEST_F(PollTest, DropWithoutReconnectShowsTheNotConnectedLook) {
  Connect("10.0.0.5");
  ras.counts = {5000, 6000, 57600};
  Tick();
  ras.active.clear();
  Tick();
  EXPECT_EQ(view.picture, "Image3");
  for (PollLabel label :
       {PollLabel::kAddress, PollLabel::kConnSpeed, PollLabel::kBytesSent,
        PollLabel::kBytesReceived, PollLabel::kSendRate, PollLabel::kReceiveRate}) {
    EXPECT_EQ(view.Label(label), "");
  }
  EXPECT_TRUE(host.poll_enabled);
}

TEST_F(PollTest, ReportsTheLineUpAndDownAndEachAddressChangeOnce) {
  testing::ActivityRecorder activity;
  IpCheckLoop reporting{PollDependencies{settings, state, view, host, ras, executor, pump, pump,
                                         {}, &activity}};
  ras.poll = &reporting;
  auto tick = [&] {
    reporting.Tick();
    pump.now_ms += 1000;
  };
  settings.lastip = "10.0.0.1";
  settings.Reconnect = true;
  Connect("10.0.0.5");
  ras.counts = {100, 200, 0};
  tick();
  tick();
  ras.counts = {5000, 6000, 0};
  tick();
  ras.active.clear();
  tick();  // handed to the reconnect window
  ras.conn_handle = 0;  // its dial brought a new connection
  Connect("10.0.0.9", 8);
  tick();
  tick();
  EXPECT_THAT(activity.events,
              ElementsAre("connected: entry \"Office DSL\", address 10.0.0.5",
                          "address-changed: from 10.0.0.1 to 10.0.0.5",
                          "dropped: entry \"Office DSL\", address 10.0.0.5, up 0:00:03, 5000 "
                          "bytes sent, 6000 received; redialing",
                          "connected: entry \"Office DSL\", address 10.0.0.9",
                          "address-changed: from 10.0.0.5 to 10.0.0.9"));
}

TEST_F(PollTest, DropWithReconnectHandsOverAndLeavesThePollOff) {
  settings.Reconnect = true;
  Connect("10.0.0.5", 7);
  Tick();
  ras.active.clear();
  ras.conn_handle = 0;
  host.log.clear();
  ras.log.clear();
  Tick();
  EXPECT_THAT(host.log, ElementsAre("poll off", "timers off", "reconnect window", "timers off"));
  EXPECT_FALSE(host.poll_enabled);
  EXPECT_EQ(ras.conn_handle, 7u);  // the last enumerated handle
  EXPECT_EQ(ras.log.back(), std::string("init 11 ") + kDevice);
  EXPECT_EQ(view.picture, "Image2");  // the last look stays
  EXPECT_EQ(view.Label(PollLabel::kAddress), "10.0.0.5");
}

TEST_F(PollTest, HoldOffAfterACancelledReconnectLasts120Ticks) {
  settings.Reconnect = true;
  state.reconnect_holdoff = kReconnectHoldoffTicks;
  for (int tick = 1; tick < 120; ++tick) Tick();
  EXPECT_EQ(std::count(host.log.begin(), host.log.end(), "reconnect window"), 0);
  EXPECT_EQ(view.picture, "Image3");
  Tick();
  EXPECT_EQ(std::count(host.log.begin(), host.log.end(), "reconnect window"), 1);
}

TEST_F(PollTest, NoRedialDuringTheStartDelay) {
  settings.Reconnect = true;
  state.start_delay = true;
  Tick();
  EXPECT_EQ(std::count(host.log.begin(), host.log.end(), "reconnect window"), 0);
  EXPECT_TRUE(host.poll_enabled);
  state.start_delay = false;
  Tick();
  EXPECT_EQ(std::count(host.log.begin(), host.log.end(), "reconnect window"), 1);
}

TEST_F(PollTest, MissingRasLibraryEndsTheTickWithThePollOff) {
  ras.load_error = "Error opening rasapi.dll";
  try {
    loop.Tick();
    FAIL() << "no error";
  } catch (const Error& e) {
    EXPECT_STREQ(e.what(), "Error opening rasapi.dll");
  }
  EXPECT_FALSE(host.poll_enabled);
}

// The entry is listed, but the component still holds the handle of an earlier
// connection: a dial of the live entry picks up the new handle.
class PickUpTest : public PollTest {
 protected:
  PickUpTest() {
    settings.MonitorIP = true;
    settings.notifs = {StepOfKind(kNotifyEmail)};
    Connect("10.0.0.9", 7);
    ras.conn_handle = 3;  // stale, yields no address
    ras.dial_hands_out = 7;
  }
  void AnswerAtPump(int pump_number, const std::string& text) {
    pump.on_messages = [this, pump_number, text] {
      if (pump.pumps == pump_number) loop.DialUp1AsyncEvent(text);
    };
  }
};

TEST_F(PickUpTest, ConnectedAnswerGoesOnWithTheNewHandle) {
  AnswerAtPump(3, "Connected");
  Tick();
  EXPECT_THAT(ras.log, ElementsAre("dial Office DSL", std::string("init 11 ") + kDevice));
  EXPECT_EQ(pump.sleeps, 3);
  EXPECT_EQ(view.Label(PollLabel::kAddress), "10.0.0.9");
  EXPECT_THAT(executor.calls, ElementsAre("M1@10.0.0.9"));
  EXPECT_TRUE(host.poll_enabled);
}

TEST_F(PickUpTest, NoAnswerIn101PassesHangsUpAndReArms) {
  const uint64_t start = pump.now_ms;
  Tick();
  EXPECT_EQ(pump.sleeps, 101);
  EXPECT_EQ(pump.now_ms - start, 101u * 50 + 1000);
  EXPECT_THAT(ras.log, ElementsAre("dial Office DSL", "hangup"));
  EXPECT_TRUE(host.poll_enabled);
  EXPECT_EQ(view.picture, "(untouched)");
  EXPECT_TRUE(executor.calls.empty());
}

TEST_F(PickUpTest, OtherFirstAnswerHangsUpAndShowsNotConnected) {
  AnswerAtPump(1, "Opening port");
  Tick();
  EXPECT_THAT(ras.log, ElementsAre("dial Office DSL", "hangup", std::string("init 11 ") + kDevice));
  EXPECT_EQ(view.picture, "Image3");
  EXPECT_TRUE(executor.calls.empty());
}

// The main window's entry picker dials through the same component while the
// pick-up waits: its answer is not the pick-up's, whose dial it has hung up.
TEST_F(PickUpTest, ADialThatTakesTheComponentOverEndsTheWaitWithoutAnAnswer) {
  pump.on_messages = [this] {
    if (pump.pumps != 2) return;
    state.NewDial();  // cbConnectionsChange
    loop.DialUp1AsyncEvent("Connected");
  };
  Tick();
  EXPECT_THAT(ras.log, ElementsAre("dial Office DSL"));  // no statistics, no hang-up
  EXPECT_EQ(view.picture, "(untouched)");
  EXPECT_TRUE(executor.calls.empty());
  EXPECT_TRUE(host.poll_enabled);
}

TEST_F(PickUpTest, QuittingStopsTheWaitAndTheTick) {
  pump.on_messages = [this] { pump.quitting = true; };
  Tick();
  EXPECT_EQ(pump.sleeps, 1);
  EXPECT_FALSE(host.poll_enabled);
  EXPECT_THAT(ras.log, ElementsAre("dial Office DSL"));
}

// A connection the user, Windows or the reconnect window is still dialing is
// listed before it has an address: it is neither picked up (the pick-up's dial
// would hang it up) nor handed to the reconnect window, only shown as down.
TEST_F(PollTest, AConnectionStillBeingDialedIsLeftAlone) {
  settings.MonitorIP = true;
  for (bool reconnect : {false, true}) {
    settings.Reconnect = reconnect;
    ras.log.clear();
    host.log.clear();
    ras.conn_handle = 0;
    ras.dial_hands_out = 7;
    ras.active = {{7, kEntry, kDevice, 5 /* authenticating */, 0}};
    Tick();
    EXPECT_EQ(std::count(ras.log.begin(), ras.log.end(), "hangup"), 0) << reconnect;
    EXPECT_EQ(std::count(ras.log.begin(), ras.log.end(), "dial Office DSL"), 0) << reconnect;
    EXPECT_EQ(std::count(host.log.begin(), host.log.end(), "reconnect window"), 0) << reconnect;
    EXPECT_EQ(view.picture, "Image3") << reconnect;
    EXPECT_TRUE(host.poll_enabled) << reconnect;
  }
  Connect("10.0.0.5", 7);  // it has connected
  Tick();
  EXPECT_EQ(view.Label(PollLabel::kAddress), "10.0.0.5");
  EXPECT_EQ(std::count(ras.log.begin(), ras.log.end(), "dial Office DSL"), 0);
}

// Closing the reconnect window turns the poll on whatever runs: a tick that
// comes while a tick's script step waits must not run the script again.
TEST_F(PollTest, ATickInsideATickDoesNothing) {
  settings.MonitorIP = true;
  settings.notifs = {StepOfKind(kNotifySleep), StepOfKind(kNotifyFtp)};
  int nested = 0;
  executor.before_step = [&](int position, const Notif&) {
    if (position == 1 && nested++ == 0) loop.Tick();
  };
  Connect("10.0.0.5");
  Tick();
  EXPECT_THAT(executor.calls, ElementsAre("Z1@", "U2@10.0.0.5"));
  EXPECT_EQ(host.saves, 1);
  Tick();  // and the guard is gone once the tick is over
  EXPECT_EQ(nested, 1);
  EXPECT_TRUE(host.poll_enabled);
}

class FailingRunTest : public PollTest {
 protected:
  FailingRunTest() {
    settings.MonitorIP = true;
    settings.lastip = "10.0.0.1";
    settings.notifs = {StepOfKind(kNotifyFtp), StepOfKind(kNotifyLaunch)};
    executor.before_step = [this](int, const Notif& step) {
      if (step.NotifyMethod == kNotifyFtp && ftp_fails) throw Error("550 ip.html: Access denied.");
    };
    Connect("10.0.0.2");
  }
  bool ftp_fails = true;
};

TEST_F(FailingRunTest, ErrorEndsTheRunIsShownAndKeepsTheOldAddress) {
  Tick();
  EXPECT_TRUE(executor.calls.empty());  // the upload threw before it was recorded
  ASSERT_EQ(boxes.size(), 1u);
  EXPECT_EQ(boxes[0].text, "550 ip.html: Access denied.");
  EXPECT_EQ(boxes[0].caption, "Tarnwick");
  EXPECT_EQ(boxes[0].icon, BoxIcon::Error);
  EXPECT_EQ(settings.lastip, "10.0.0.1");
  EXPECT_EQ(host.saves, 0);
  EXPECT_TRUE(host.poll_enabled);
}

TEST_F(FailingRunTest, SameAddressIsTriedAgainOnlyAfterFiveMinutes) {
  Tick();  // fails at t0
  const uint64_t failed_at = pump.now_ms - 1000;
  ftp_fails = false;
  while (pump.now_ms < failed_at + kScriptRetryDelayMs) {
    Tick();
    ASSERT_TRUE(executor.calls.empty()) << "ran " << pump.now_ms - failed_at << " ms after";
    ASSERT_EQ(settings.lastip, "10.0.0.1");
  }
  EXPECT_EQ(boxes.size(), 1u);
  Tick();  // 5:00 after the failure
  EXPECT_THAT(executor.calls, ElementsAre("U1@10.0.0.2", "L2@"));
  EXPECT_EQ(settings.lastip, "10.0.0.2");
  EXPECT_EQ(host.saves, 1);
}

TEST_F(FailingRunTest, AnotherAddressIsNotHeldBack) {
  Tick();
  ftp_fails = false;
  Connect("10.0.0.3");
  Tick();
  EXPECT_THAT(executor.calls, ElementsAre("U1@10.0.0.3", "L2@"));
  EXPECT_EQ(settings.lastip, "10.0.0.3");
}

// [e-mail, FTP] with the FTP server down: the retry must not mail again.
TEST_F(FailingRunTest, TheRetryForTheSameAddressResumesAtTheStepThatFailed) {
  struct Case {
    const char* what;
    std::string address;
    bool list_changed;
    std::vector<std::string> retried;
  };
  const Case cases[] = {
      {"same address", "10.0.0.2", false, {"U2@10.0.0.2", "L3@"}},
      {"new address", "10.0.0.3", false, {"M1@10.0.0.3", "U2@10.0.0.3", "L3@"}},
      {"list changed", "10.0.0.2", true, {"M1@10.0.0.2", "U2@10.0.0.2", "L3@"}},
  };
  for (const Case& c : cases) {
    IpCheckLoop fresh{PollDependencies{settings, state, view, host, ras, executor, pump, pump, {}}};
    ras.poll = &fresh;
    settings.lastip = "10.0.0.1";
    settings.notifs = {StepOfKind(kNotifyEmail), StepOfKind(kNotifyFtp),
                       StepOfKind(kNotifyLaunch)};
    Connect("10.0.0.2");
    ftp_fails = true;
    fresh.Tick();
    ASSERT_THAT(executor.calls, ElementsAre("M1@10.0.0.2")) << c.what;
    executor.calls.clear();
    ftp_fails = false;
    if (c.list_changed) settings.notifs[2].LaunchNotifr.LnchApp = "other.exe";
    Connect(c.address);
    pump.now_ms += kScriptRetryDelayMs;
    fresh.Tick();
    EXPECT_EQ(executor.calls, c.retried) << c.what;
    EXPECT_EQ(settings.lastip, c.address) << c.what;
    executor.calls.clear();
  }
  ras.poll = &loop;
}

TEST_F(PollTest, RunAbandonedByQuittingRecordsNothing) {
  settings.MonitorIP = true;
  settings.notifs = {StepOfKind(kNotifySleep), StepOfKind(kNotifyEmail)};
  executor.before_step = [&](int, const Notif&) { pump.quitting = true; };
  Connect("10.0.0.5");
  Tick();
  EXPECT_THAT(executor.calls, ElementsAre("Z1@"));
  EXPECT_EQ(settings.lastip, "192.168.0.1");
  EXPECT_EQ(host.saves, 0);
  EXPECT_FALSE(host.poll_enabled);
}

TEST_F(PollTest, FailedSaveIsShownAndTheWatchGoesOn) {
  settings.MonitorIP = true;
  host.save_fails = true;
  Connect("10.0.0.5");
  Tick();
  ASSERT_EQ(boxes.size(), 1u);
  EXPECT_EQ(boxes[0].text, "Failed to set data for 'lastip'");
  EXPECT_EQ(settings.lastip, "10.0.0.5");
  EXPECT_TRUE(host.poll_enabled);
  Tick();
  EXPECT_EQ(host.saves, 1);  // no second attempt for the same address
}

TEST_F(PollTest, ConnectedWithoutAnAddressAnnouncesNothing) {
  settings.MonitorIP = true;
  settings.lastip = "10.0.0.1";
  settings.notifs = {StepOfKind(kNotifyEmail)};
  Connect("10.0.0.5", 7);
  ras.addresses.clear();
  ras.conn_handle = 7;
  pump.on_messages = [this] {
    if (pump.pumps == 1) loop.DialUp1AsyncEvent("Connected");
  };
  Tick();
  EXPECT_EQ(view.picture, "Image2");
  EXPECT_TRUE(executor.calls.empty());
  EXPECT_EQ(settings.lastip, "10.0.0.1");
}

}  // namespace
}  // namespace tarnwick
