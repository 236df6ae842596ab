// The method editor's form without windows: what OK makes of the pages.
#include "ui/method_form.h"

#include <gtest/gtest.h>

namespace tarnwick {
namespace {

// Every page is read, whatever the kind; the port only for an FTP step, and
// the fields no page shows keep their values.
TEST(MethodForm, OkTakesEveryPageAndThePortOnlyForAnFtpStep) {
  struct Case {
    int kind;
    int32_t port;
  };
  for (const Case c : {Case{kNotifyEmail, 2121}, Case{kNotifyFtp, 99}, Case{kNotifySleep, 2121}}) {
    SCOPED_TRACE(c.kind);
    Notif step;
    step.emailNotifr.ReplyToAddress = "reply@example.com";
    step.FTPNotifr.FTPPort = 2121;
    MethodForm form;
    form.kind = c.kind;
    form.from = "me@example.com";
    form.to = "you@example.com";
    form.retries = "4";
    form.ftp_server = "ftp.example.com";
    form.ftp_port = "99";
    form.ftp_path = "/ip.html";
    form.app = "C:\\x.exe";
    form.sleep = "7";
    ASSERT_EQ(ApplyMethodForm(form, step), std::nullopt);
    EXPECT_EQ(step.NotifyMethod, c.kind);
    EXPECT_EQ(step.emailNotifr.ETo, "you@example.com");
    EXPECT_EQ(step.emailNotifr.maxretries, 4);
    EXPECT_EQ(step.emailNotifr.ReplyToAddress, "reply@example.com");
    EXPECT_EQ(step.FTPNotifr.FTPServer, "ftp.example.com");
    EXPECT_EQ(step.FTPNotifr.FTPPort, c.port);
    EXPECT_EQ(step.LaunchNotifr.LnchApp, "C:\\x.exe");
    EXPECT_EQ(step.sseconds, 7);
  }
}

// No radio button stands for a kind this program does not know: such a step
// opens as an empty e-mail page, so that OK makes what the user sees.
TEST(MethodForm, AStepOfAnUnknownKindOpensAsAnEmptyEmailPage) {
  Notif unknown;
  unknown.NotifyMethod = 7;
  unknown.emailNotifr.ETo = "kept@example.com";
  unknown.sseconds = 45;
  EXPECT_EQ(MethodFormFrom(&unknown), MethodForm{});
}

TEST(MethodForm, FtpModeTicksOpenAsStoredAndOkStoresThem) {
  for (const bool on : {false, true}) {
    Notif step;
    step.NotifyMethod = kNotifyFtp;
    step.FTPNotifr.FTPPassive = on ? 1 : 0;
    step.FTPNotifr.FTPSecure = on ? 0 : 1;  // the two are independent
    MethodForm form = MethodFormFrom(&step);
    EXPECT_EQ(form.ftp_passive, on);
    EXPECT_EQ(form.ftp_tls, !on);
    form.ftp_server = "ftp.example.com";
    form.ftp_path = "/ip.html";
    form.ftp_passive = !on;
    form.ftp_tls = on;
    ASSERT_FALSE(ApplyMethodForm(form, step).has_value());
    EXPECT_EQ(step.FTPNotifr.FTPPassive, on ? 0 : 1);
    EXPECT_EQ(step.FTPNotifr.FTPSecure, on ? 1 : 0);
  }
}

}  // namespace
}  // namespace tarnwick
