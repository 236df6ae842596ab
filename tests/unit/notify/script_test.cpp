#include "notify/script.h"

#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include "app/error.h"
#include "notify/steps.h"
#include "support/activity_recorder.h"
#include "unit/notify/fakes.h"

namespace tarnwick {
namespace {

using test::RecordingExecutor;
using test::StepOfKind;
using ::testing::ElementsAre;

TEST(RunScript, DispatchesInListOrderWithPositionsAndSkipsUnknownKinds) {
  const std::vector<Notif> steps = {
      StepOfKind(kNotifySleep), StepOfKind(kNotifyEmail), StepOfKind(4),
      StepOfKind(kNotifyFtp),   StepOfKind(255),          StepOfKind(kNotifyLaunch)};
  RecordingExecutor executor;
  EXPECT_EQ(RunScript(steps, "10.0.0.9", executor), RunOutcome::kCompleted);
  EXPECT_THAT(executor.calls, ElementsAre("Z1@", "M2@10.0.0.9", "U4@10.0.0.9", "L6@"));
}

TEST(RunScript, EmptyListRunsNothing) {
  RecordingExecutor executor;
  EXPECT_EQ(RunScript({}, "10.0.0.9", executor), RunOutcome::kCompleted);
  EXPECT_TRUE(executor.calls.empty());
}

TEST(RunScript, ListReplacedDuringAStepDoesNotChangeTheRun) {
  std::vector<Notif> notifs = {StepOfKind(kNotifySleep), StepOfKind(kNotifyEmail),
                               StepOfKind(kNotifyFtp)};
  notifs[1].emailNotifr.ETo = "first@example.org";
  RecordingExecutor executor;
  // The options dialog confirms while the sleep step yields: one shorter list
  // whose only step is of another kind.
  executor.before_step = [&](int position, const Notif&) {
    if (position == 1) notifs = {StepOfKind(kNotifyLaunch)};
  };
  RunScript(notifs, "10.0.0.9", executor);
  EXPECT_THAT(executor.calls, ElementsAre("Z1@", "M2@10.0.0.9", "U3@10.0.0.9"));
  EXPECT_EQ(executor.seen[1].emailNotifr.ETo, "first@example.org");
}

TEST(RunScript, ErrorEndsTheRunBeforeTheLaterSteps) {
  RecordingExecutor executor;
  executor.before_step = [](int position, const Notif&) {
    if (position == 2) throw Error("550 Permission denied.");
  };
  const std::vector<Notif> steps = {StepOfKind(kNotifyEmail), StepOfKind(kNotifyFtp),
                                    StepOfKind(kNotifyLaunch)};
  EXPECT_THROW(
      {
        try {
          RunScript(steps, "10.0.0.9", executor);
        } catch (const Error& e) {
          EXPECT_STREQ(e.what(), "550 Permission denied.");
          throw;
        }
      },
      Error);
  EXPECT_THAT(executor.calls, ElementsAre("M1@10.0.0.9"));
}

TEST(RunScript, StopsBeforeTheNextStepWhenToldTo) {
  RecordingExecutor executor;
  int asked = 0;
  const auto go_on = [&] { return ++asked < 3; };
  const std::vector<Notif> steps(5, StepOfKind(kNotifySleep));
  EXPECT_EQ(RunScript(steps, "a", executor, go_on), RunOutcome::kAbandoned);
  EXPECT_THAT(executor.calls, ElementsAre("Z1@", "Z2@"));
}

TEST(ScriptSteps, MailAndUploadWithoutASenderFailTheRun) {
  test::RecordingShell shell;
  test::FakePump pump;
  ScriptSteps steps(shell, pump);
  const std::vector<Notif> mail_then_launch = {StepOfKind(kNotifyEmail), StepOfKind(kNotifyLaunch)};
  EXPECT_THROW(RunScript(mail_then_launch, "1.2.3.4", steps), Error);
  EXPECT_TRUE(shell.calls.empty());
  EXPECT_THROW(steps.UploadRFile(1, StepOfKind(kNotifyFtp), "1.2.3.4"), Error);
}

TEST(ScriptSteps, RoutesEachKindToItsCarrier) {
  test::RecordingShell shell;
  test::FakePump pump;
  ScriptSteps steps(shell, pump);
  std::vector<std::string> sent;
  steps.SetMailHandler([&](int position, const Notif& step, const std::string& address) {
    sent.push_back("mail " + std::to_string(position) + " " + step.emailNotifr.ETo + " " + address);
    return StepResult{};
  });
  steps.SetUploadHandler([&](int position, const Notif& step, const std::string& address) {
    sent.push_back("ftp " + std::to_string(position) + " " + step.FTPNotifr.FTPServer + " " +
                   address);
    return StepResult{};
  });
  std::vector<Notif> list = {StepOfKind(kNotifyEmail), StepOfKind(kNotifyFtp),
                             StepOfKind(kNotifyLaunch), StepOfKind(kNotifySleep)};
  list[0].emailNotifr.ETo = "me@example.org";
  list[1].FTPNotifr.FTPServer = "ftp.example.org";
  list[2].LaunchNotifr.LnchApp = "notify.cmd";
  list[2].LaunchNotifr.LnchParam = "<IPADDRESS>";
  list[3].sseconds = 2;
  RunScript(list, "10.9.8.7", steps);
  EXPECT_THAT(sent,
              ElementsAre("mail 1 me@example.org 10.9.8.7", "ftp 2 ftp.example.org 10.9.8.7"));
  ASSERT_EQ(shell.calls.size(), 1u);
  EXPECT_EQ(shell.calls[0].file, "notify.cmd");
  EXPECT_EQ(shell.calls[0].parameters, "<IPADDRESS>");  // a run never replaces it
  EXPECT_EQ(pump.sleeps, 20);
}

}  // namespace
}  // namespace tarnwick

namespace tarnwick {
namespace {

TEST(ScriptSteps, ReportsEachStepsOutcomeWithoutItsCredentials) {
  test::RecordingShell shell;
  test::FakePump pump;
  ScriptSteps steps(shell, pump);
  testing::ActivityRecorder activity;
  steps.SetActivity(&activity);
  bool mail_ok = true;
  steps.SetMailHandler([&](int, const Notif&, const std::string&) {
    return StepResult{mail_ok, mail_ok ? "to a@example.org: 250 queued" : "to a@example.org: 554 no"};
  });
  steps.SetUploadHandler([&](int, const Notif&, const std::string&) -> StepResult {
    throw Error("530 Login incorrect.");
  });
  Notif ftp = test::StepOfKind(kNotifyFtp);
  ftp.FTPNotifr = {"ftp.example.org", "/pub/ip.html", "<html>", 2121, "walt", "s3cret-pass"};
  Notif launch = test::StepOfKind(kNotifyLaunch);
  launch.LaunchNotifr = {"C:\\tools\\tell.exe", "<IPADDRESS>"};
  const std::vector<Notif> list = {test::StepOfKind(kNotifyEmail), launch, ftp};
  EXPECT_THROW(RunScript(list, "10.1.1.1", steps), Error);
  mail_ok = false;
  RunScript({test::StepOfKind(kNotifyEmail)}, "10.1.1.1", steps);
  EXPECT_THAT(activity.events,
              ElementsAre("step-done: step 1 (e-mail) to a@example.org: 250 queued",
                          "step-done: step 2 (launch) C:\\tools\\tell.exe",
                          "step-failed: step 3 (FTP) ftp://ftp.example.org:2121/pub/ip.html: 530 "
                          "Login incorrect.",
                          "step-failed: step 1 (e-mail) to a@example.org: 554 no"));
  for (const std::string& event : activity.events) {
    EXPECT_EQ(event.find("walt"), std::string::npos);
    EXPECT_EQ(event.find("s3cret"), std::string::npos);
  }
}

}  // namespace
}  // namespace tarnwick
