#include "notify/steps.h"

#include <gtest/gtest.h>

#include "unit/notify/fakes.h"

namespace tarnwick {
namespace {

using test::FakePump;
using test::RecordingShell;

Notif SleepOf(int32_t seconds) {
  Notif step;
  step.NotifyMethod = kNotifySleep;
  step.sseconds = seconds;
  return step;
}

TEST(SleepStep, ProcessesMessagesAfterEachTenthOfASecond) {
  FakePump pump;
  const uint64_t start = pump.now_ms;
  SleepStep(SleepOf(30), pump);
  EXPECT_EQ(pump.now_ms - start, 30000u);
  EXPECT_EQ(pump.pumps, 300);
  EXPECT_EQ(pump.sleeps, 300);
  EXPECT_EQ(pump.log.substr(0, 4), "SPSP");
}

TEST(SleepStep, HandlersRunWhileItSleeps) {
  FakePump pump;
  const uint64_t start = pump.now_ms;
  std::vector<uint64_t> handled_at;
  pump.on_messages = [&] {
    if (pump.pumps % 10 == 0) handled_at.push_back(pump.now_ms - start);
  };
  SleepStep(SleepOf(3), pump);
  EXPECT_EQ(handled_at, (std::vector<uint64_t>{1000, 2000, 3000}));
}

TEST(SleepStep, ZeroOrNegativeDoesNotPause) {
  for (int32_t seconds : {0, -1, -300}) {
    FakePump pump;
    SleepStep(SleepOf(seconds), pump);
    EXPECT_EQ(pump.sleeps, 0) << seconds;
    EXPECT_EQ(pump.pumps, 0) << seconds;
  }
}

TEST(SleepStep, StoredValueBeyondTheEditorsRangeIsBounded) {
  FakePump pump;
  const uint64_t start = pump.now_ms;
  SleepStep(SleepOf(2'000'000'000), pump);
  EXPECT_EQ(pump.now_ms - start, 300'000u);
}

TEST(SleepStep, QuitRequestEndsItEarly) {
  FakePump pump;
  pump.on_messages = [&] {
    if (pump.pumps == 5) pump.quitting = true;
  };
  SleepStep(SleepOf(60), pump);
  EXPECT_EQ(pump.sleeps, 5);
}

TEST(LaunchStep, PassesStoredParametersUnchanged) {
  RecordingShell shell;
  Notif step;
  step.NotifyMethod = kNotifyLaunch;
  step.LaunchNotifr.LnchApp = "C:\\tools\\dyn.exe";
  step.LaunchNotifr.LnchParam = "-ip <IPADDRESS> -q";
  LaunchStep(step, shell);
  ASSERT_EQ(shell.calls.size(), 1u);
  EXPECT_EQ(shell.calls[0].file, "C:\\tools\\dyn.exe");
  EXPECT_EQ(shell.calls[0].parameters, "-ip <IPADDRESS> -q");
}

TEST(TestLaunch, ReplacesEveryPlaceholderInTheParameters) {
  RecordingShell shell;
  TestLaunch("page.html", "<IPADDRESS> and <IPADDRESS> <ipaddress>", "10.0.0.1", shell);
  TestLaunch("app.exe", "", "10.0.0.1", shell);
  TestLaunch("app.exe", "<IPADDRESS>", "", shell);  // the main window shows no address
  ASSERT_EQ(shell.calls.size(), 3u);
  EXPECT_EQ(shell.calls[0].file, "page.html");
  EXPECT_EQ(shell.calls[0].parameters, "10.0.0.1 and 10.0.0.1 <ipaddress>");
  EXPECT_EQ(shell.calls[1].parameters, "");
  EXPECT_EQ(shell.calls[2].parameters, "");
}

TEST(TestLaunch, EmptyApplicationDoesNothing) {
  RecordingShell shell;
  TestLaunch("", "<IPADDRESS>", "10.0.0.1", shell);
  EXPECT_TRUE(shell.calls.empty());
}

}  // namespace
}  // namespace tarnwick
