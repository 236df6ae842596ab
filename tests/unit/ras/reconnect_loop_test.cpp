// The reconnect window's dial loop in virtual time.
#include "ras/reconnect_loop.h"

#include <gmock/gmock.h>

#include <algorithm>
#include <functional>

#include "reconnect_fakes.h"
#include "support/activity_recorder.h"

namespace tarnwick::testing {
namespace {

using ::testing::Contains;
using ::testing::ElementsAre;
using ::testing::Not;

class ReconnectLoopTest : public ::testing::Test {
 protected:
  ReconnectLoopTest() {
    settings.conname = "ISP";
    settings.redelay = 2;
    settings.maxretries = 20;
    Make();
  }
  void Make(bool windows2000_or_later = true) {
    loop = std::make_unique<ReconnectLoop>(
        ReconnectLoopDeps{settings, watch, dialer, view, host, time, time, windows2000_or_later});
    dialer.loop = loop.get();
  }
  void Destroy() {
    loop.reset();
    dialer.loop = nullptr;
  }
  // The window's timer fires one second after creation.
  void Run() {
    time.now = 1000;
    loop->Timer1Timer();
  }
  // Status lines from the first one at or after `from`.
  std::vector<std::string> TextsFrom(uint64_t from) const {
    std::vector<std::string> texts;
    for (const auto& line : view.lines) {
      if (line.at >= from) texts.push_back(line.text);
    }
    return texts;
  }

  Settings settings;
  WatchState watch;
  VirtualTime time;
  ScriptedDialer dialer{time};
  RecordingView view{time};
  RecordingHost host;
  std::unique_ptr<ReconnectLoop> loop;
};

TEST_F(ReconnectLoopTest, GivesUpAfterMaxRetriesPlusOneDialsCountingDownBetweenThem) {
  settings.redelay = 30;
  settings.maxretries = 3;
  Run();
  ASSERT_EQ(dialer.Dials(), 4);
  EXPECT_EQ(loop->LastOutcome(), ReconnectLoop::Outcome::kMaxRetries);
  EXPECT_EQ(view.lines.back().text, kMaxRetriesText);
  // The window stays up until the user closes it.
  EXPECT_FALSE(view.hidden);
  EXPECT_TRUE(host.closes.empty());
  EXPECT_FALSE(loop->Running());

  std::vector<std::string> countdown = {kFakeFailText};
  for (int left = 29; left >= 0; --left) countdown.push_back(CountdownText(left));
  for (int gap = 0; gap < 3; ++gap) {
    const uint64_t failed = dialer.end_times[gap];
    std::vector<std::string> texts;
    for (const auto& line : view.lines) {
      if (line.at >= failed && line.at <= dialer.dial_times[gap + 1]) texts.push_back(line.text);
    }
    EXPECT_EQ(texts, countdown) << "wait " << gap;
    // 29 one second after the failure was seen; the next dial right after 0.
    const auto first = std::find_if(view.lines.begin(), view.lines.end(), [&](auto& l) {
      return l.text == CountdownText(29) && l.at > failed;
    });
    EXPECT_GE(first->at, failed + 1000);
    EXPECT_LE(first->at, failed + 1100);
    EXPECT_GE(dialer.dial_times[gap + 1] - failed, 30000u);
    EXPECT_LE(dialer.dial_times[gap + 1] - failed, 30100u);
  }
}

TEST_F(ReconnectLoopTest, NoRetriesShowsTheMessageRightAfterTheOnlyFailure) {
  settings.maxretries = 0;
  Run();
  EXPECT_EQ(dialer.Dials(), 1);
  EXPECT_THAT(TextsFrom(dialer.end_times[0]), ElementsAre(kFakeFailText, kMaxRetriesText));
  EXPECT_LE(view.lines.back().at - dialer.end_times[0], 100u);
  // The failed attempt is released, not left holding the port.
  EXPECT_EQ(dialer.calls.back(), "HangUp");
  EXPECT_GE(dialer.hang_up_times.back(), dialer.end_times[0]);
}

TEST_F(ReconnectLoopTest, TheWaitKeepsToTheClockWhenAHandlerHoldsTheLoopUp) {
  settings.redelay = 30;
  settings.maxretries = 1;
  // 1.6 s: the first dial has failed. A handler then takes 10 s inside the
  // message processing of the wait.
  time.After(2600, [&] { time.now += 10000; });
  Run();
  ASSERT_EQ(dialer.Dials(), 2);
  EXPECT_EQ(dialer.dial_times[1] - dialer.end_times[0], 30000u);
  const auto texts = TextsFrom(dialer.end_times[0]);
  EXPECT_THAT(texts, Contains(CountdownText(19)));
  EXPECT_THAT(texts, Not(Contains(CountdownText(20))));
}

TEST_F(ReconnectLoopTest, UnlimitedRetriesGoOnUntilCancelled) {
  settings.maxretries = -1;
  settings.redelay = 1;
  dialer.script = {DialEnd::kFail};
  // The user gives up during the 40th dial.
  std::function<void()> watch_dials = [&] {
    if (dialer.Dials() == 40) {
      loop->Button1Click();
    } else {
      time.After(50, watch_dials);
    }
  };
  time.After(0, watch_dials);
  Run();
  EXPECT_EQ(dialer.Dials(), 40);
  EXPECT_EQ(loop->LastOutcome(), ReconnectLoop::Outcome::kCancelled);
  EXPECT_THAT(view.Texts(), Not(Contains(kMaxRetriesText)));
  int countdowns = 0;
  for (const auto& text : view.Texts()) countdowns += text == CountdownText(0);
  EXPECT_EQ(countdowns, 39);
}

TEST_F(ReconnectLoopTest, ClosesHalfASecondAfterConnectedAndTellsTheHostOnceUnwound) {
  dialer.script = {DialEnd::kFail, DialEnd::kCannotStart, DialEnd::kConnect};
  bool running_at_close = true;
  host.on_close = [&] { running_at_close = loop->Running(); };
  Run();
  EXPECT_EQ(dialer.Dials(), 3);
  EXPECT_EQ(loop->Attempt(), 3);
  EXPECT_EQ(loop->State(), DialState::kConnected);
  ASSERT_TRUE(view.hidden);
  const uint64_t connected = dialer.end_times.back();
  EXPECT_GE(view.hidden_at - connected, 500u);
  EXPECT_LE(view.hidden_at - connected, 600u);
  EXPECT_EQ(host.closes, std::vector<bool>{true});
  EXPECT_FALSE(running_at_close);
  EXPECT_TRUE(loop->Finished());
  EXPECT_EQ(watch.reconnect_holdoff, 0);
}

TEST_F(ReconnectLoopTest, WritesCredentialsOnceBeforeTheFirstDialOnlyOnOlderSystems) {
  struct Case {
    bool windows2000;
    std::string user, password;
    bool written;
  };
  for (const Case& c : {Case{false, "bob", "secret", true}, Case{true, "bob", "secret", false},
                        Case{false, "bob", "", false}, Case{false, "", "secret", false}}) {
    settings.connuser = c.user;
    settings.connpass = c.password;
    settings.maxretries = 1;
    dialer.calls.clear();
    dialer.dial_times.clear();
    Make(c.windows2000);
    Run();
    std::vector<std::string> expected = {"SetEntry ISP", "HangUp"};
    if (c.written) {
      expected.push_back("SetEntryUserName bob");
      expected.push_back("SetEntryPassword secret");
    }
    for (const char* call : {"HangUp", "Dial", "SetEntry ISP", "HangUp", "Dial", "HangUp"}) {
      expected.push_back(call);
    }
    EXPECT_EQ(dialer.calls, expected) << c.windows2000 << " " << c.user << "/" << c.password;
  }
}

TEST_F(ReconnectLoopTest, ADialThatFallsSilentIsHungUpAndRetried) {
  settings.maxretries = 1;
  dialer.script = {DialEnd::kSilent, DialEnd::kConnect};
  Run();
  ASSERT_EQ(dialer.Dials(), 2);
  const uint64_t gap = dialer.dial_times[1] - dialer.dial_times[0];
  EXPECT_GE(gap, kDialSilenceLimitMs + 2000);
  EXPECT_LE(gap, kDialSilenceLimitMs + 2000 + 600);
  EXPECT_EQ(host.closes, std::vector<bool>{true});
}

// Cancel and the close box, while dialing and while counting down.
struct CancelCase {
  const char* name;
  bool close_box;
  uint64_t at;  // after the timer fired: 400 is inside the first dial, 1500 in the wait
};

class ReconnectCancelTest : public ReconnectLoopTest,
                            public ::testing::WithParamInterface<CancelCase> {};

TEST_P(ReconnectCancelTest, HangsUpHoldsReconnectionOffAndClosesOnceUnwound) {
  const CancelCase& c = GetParam();
  bool running_at_close = true;
  host.on_close = [&] { running_at_close = loop->Running(); };
  time.now = 1000;
  time.After(c.at, [&] { c.close_box ? loop->CloseBox() : loop->Button1Click(); });
  loop->Timer1Timer();
  EXPECT_EQ(dialer.Dials(), 1);
  EXPECT_EQ(dialer.hang_up_times.back(), 1000 + c.at);
  EXPECT_EQ(watch.reconnect_holdoff, kReconnectHoldoffTicks);
  EXPECT_TRUE(loop->Cancelled());
  EXPECT_TRUE(view.hidden);
  EXPECT_EQ(host.closes, std::vector<bool>{false});
  EXPECT_FALSE(running_at_close);
  // The loop left within a slice of the click.
  EXPECT_LE(time.now, 1000 + c.at + kLoopSliceMs);
}

TEST_F(ReconnectLoopTest, ReportsEachAttemptWithItsRasErrorTheLimitAndCancel) {
  ActivityRecorder activity;
  auto run = [&](std::vector<DialEnd> script, int maxretries, uint64_t cancel_at = 0) {
    activity.events.clear();
    settings.maxretries = maxretries;
    Make();
    ReconnectLoopDeps deps{settings, watch, dialer, view, host, time, time, true, &activity};
    loop = std::make_unique<ReconnectLoop>(deps);
    dialer.loop = loop.get();
    dialer.script = std::move(script);
    time.now = 1000;
    if (cancel_at) time.After(cancel_at, [&] { loop->Button1Click(); });
    loop->Timer1Timer();
    return activity.events;
  };
  const std::string failed = std::string("redial-failed: entry \"ISP\", attempt ");
  EXPECT_THAT(run({DialEnd::kFail, DialEnd::kCannotStart, DialEnd::kConnect}, 5),
              ElementsAre(failed + "1: " + kFakeFailText + " (error 678)",
                          failed + "2: the dial could not be started",
                          "redial-connected: entry \"ISP\", attempt 3"));
  EXPECT_THAT(run({DialEnd::kFail}, 1),
              ElementsAre(failed + "1: " + kFakeFailText + " (error 678)",
                          failed + "2: " + kFakeFailText + " (error 678)",
                          "retry-limit: entry \"ISP\", 2 attempts"));
  // Cancelled inside the first dial: that attempt has no outcome of its own.
  EXPECT_THAT(run({DialEnd::kFail}, 5, 400),
              ElementsAre("redial-cancelled: entry \"ISP\", attempt 1"));
}

INSTANTIATE_TEST_SUITE_P(All, ReconnectCancelTest,
                         ::testing::Values(CancelCase{"CancelDuringDial", false, 400},
                                           CancelCase{"CancelDuringWait", false, 1500},
                                           CancelCase{"CloseBoxDuringDial", true, 400},
                                           CancelCase{"CloseBoxDuringWait", true, 1500}),
                         [](const auto& info) { return std::string(info.param.name); });

// From the second attempt on, Dial first hangs up the previous attempt's handle,
// and that wait processes messages for seconds: a Cancel, the close box or Exit
// arriving inside it must not be followed by a new dial that nobody hangs up.
TEST_F(ReconnectLoopTest, StoppingInsideTheNextDialsHangUpStartsNoDialThatStays) {
  struct Case {
    const char* what;
    bool dialer_asks;  // the component asks before it dials; else it dials anyway
    std::function<void()> stop;
    ReconnectLoop::Outcome outcome;
  };
  const Case cases[] = {
      {"Cancel", true, [&] { loop->Button1Click(); }, ReconnectLoop::Outcome::kCancelled},
      {"close box", true, [&] { loop->CloseBox(); }, ReconnectLoop::Outcome::kCancelled},
      {"Exit", true, [&] { time.quitting = true; }, ReconnectLoop::Outcome::kQuitting},
      {"Cancel, dialed anyway", false, [&] { loop->Button1Click(); },
       ReconnectLoop::Outcome::kCancelled},
  };
  settings.redelay = 1;
  dialer.hang_up_ms = 3000;
  for (const Case& c : cases) {
    dialer.calls.clear();
    dialer.dial_times.clear();
    dialer.asks_before_dialing = c.dialer_asks;
    time.quitting = false;
    Make();
    // The first dial fails at 1.6 s; the second attempt's hang-up runs from
    // about 2.7 s to 5.7 s.
    time.now = 0;
    time.After(4000, c.stop);
    Run();
    time.quitting = false;
    EXPECT_EQ(loop->LastOutcome(), c.outcome) << c.what;
    const int dials = dialer.Dials();
    EXPECT_EQ(dials, c.dialer_asks ? 1 : 2) << c.what;
    // Whatever was dialed last has been hung up since.
    const auto last_dial = std::find(dialer.calls.rbegin(), dialer.calls.rend(), "Dial");
    EXPECT_NE(std::find(dialer.calls.rbegin(), last_dial, "HangUp"), last_dial) << c.what;
  }
}

TEST_F(ReconnectLoopTest, AfterTheRetriesTheCloseBoxJustClosesButCancelStillHoldsOff) {
  settings.maxretries = 0;
  Run();
  ASSERT_EQ(loop->LastOutcome(), ReconnectLoop::Outcome::kMaxRetries);
  const size_t hang_ups = dialer.hang_up_times.size();
  loop->CloseBox();
  EXPECT_EQ(host.closes, std::vector<bool>{false});
  EXPECT_EQ(watch.reconnect_holdoff, 0);
  EXPECT_EQ(dialer.hang_up_times.size(), hang_ups);

  Make();
  Run();
  loop->Button1Click();
  EXPECT_EQ(watch.reconnect_holdoff, kReconnectHoldoffTicks);
  EXPECT_EQ(host.closes, (std::vector<bool>{false, false}));
}

TEST_F(ReconnectLoopTest, QuittingEndsTheLoopWithoutClosingTheWindow) {
  for (uint64_t at : {400u, 1500u}) {
    Make();
    const int dials = dialer.Dials();
    time.now = 1000;
    time.After(at, [&] { time.quitting = true; });
    loop->Timer1Timer();
    EXPECT_EQ(dialer.Dials(), dials + 1);
    EXPECT_EQ(loop->LastOutcome(), ReconnectLoop::Outcome::kQuitting);
    EXPECT_LE(time.now, 1000 + at + kLoopSliceMs);
    EXPECT_FALSE(loop->Running());
    EXPECT_FALSE(view.hidden);
    EXPECT_TRUE(host.closes.empty());
    time.quitting = false;
  }
}

TEST_F(ReconnectLoopTest, CancelBeforeTheTimerClosesAtOnceAndNothingIsDialed) {
  loop->Button1Click();
  EXPECT_EQ(host.closes, std::vector<bool>{false});
  EXPECT_TRUE(loop->Finished());
  Run();
  EXPECT_EQ(dialer.Dials(), 0);
}

TEST_F(ReconnectLoopTest, TheHostMayDestroyTheLoopInsideTheNotification) {
  // Under ASan a touch of the freed loop after the call fails the test.
  host.on_close = [&] { Destroy(); };
  dialer.script = {DialEnd::kConnect};
  Run();
  EXPECT_EQ(loop, nullptr);

  Make();
  host.on_close = [&] { Destroy(); };
  time.After(400, [&] { loop->Button1Click(); });
  Run();
  EXPECT_EQ(loop, nullptr);

  Make();
  host.on_close = [&] { Destroy(); };
  loop->CloseBox();
  EXPECT_EQ(loop, nullptr);
  EXPECT_EQ(host.closes.size(), 3u);
}

TEST_F(ReconnectLoopTest, ALoopDestroyedUnderItsOwnWaitReturnsWithoutTouchingIt) {
  // A host that breaks the rule: the frames still on the stack must not use
  // the freed loop (ASan).
  time.After(1500, [&] { Destroy(); });
  Run();
  EXPECT_EQ(loop, nullptr);
  EXPECT_TRUE(host.closes.empty());
}

}  // namespace
}  // namespace tarnwick::testing
