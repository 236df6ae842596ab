#include "notify/notif_text.h"

#include <gtest/gtest.h>

#include "notify/page_template.h"
#include "notify/placeholder.h"
#include "notify/steps.h"

namespace tarnwick {
namespace {

TEST(NewNotif, StartsAsAnEmailStepWithTheEditorDefaults) {
  const Notif step = NewNotif();
  EXPECT_EQ(step.NotifyMethod, kNotifyEmail);
  EXPECT_EQ(step.emailNotifr.esubject, "New IP Address: <IPADDRESS>");
  EXPECT_EQ(step.emailNotifr.emessage, "Your new IP Address is: <IPADDRESS>");
  EXPECT_EQ(step.emailNotifr.maxretries, 0);
  EXPECT_EQ(step.FTPNotifr.FTPPort, 21);
  EXPECT_EQ(step.FTPNotifr.FTPHTML, kDefaultPageTemplate);
  EXPECT_EQ(step.sseconds, 30);
  for (const std::string* text :
       {&step.emailNotifr.eFrom, &step.emailNotifr.ETo, &step.emailNotifr.emailUser,
        &step.emailNotifr.ReplyToAddress, &step.FTPNotifr.FTPServer, &step.FTPNotifr.FTPPath,
        &step.FTPNotifr.FTPUser, &step.FTPNotifr.FTPPass, &step.LaunchNotifr.LnchApp,
        &step.LaunchNotifr.LnchParam}) {
    EXPECT_EQ(*text, "");
  }
}

TEST(PageTemplate, FourCrLfLinesWithThePlaceholderInTheThird) {
  const std::string page(kDefaultPageTemplate);
  ASSERT_GE(page.size(), 2u);
  EXPECT_EQ(page.substr(page.size() - 2), "\r\n");
  std::vector<std::string> lines;
  for (size_t from = 0; from < page.size();) {
    const size_t end = page.find("\r\n", from);
    lines.push_back(page.substr(from, end - from));
    from = end + 2;
  }
  ASSERT_EQ(lines.size(), 4u);
  EXPECT_EQ(lines[0], "<HTML><HEAD>");
  EXPECT_EQ(lines[1], "<TITLE>Tarnwick IP Notification</TITLE></HEAD>");
  EXPECT_EQ(lines[2], "<BODY><H3>Your current IP Address is: <IPADDRESS></H3><BR><BR><HR>");
  EXPECT_EQ(
      lines[3].rfind("<font size=\"2\" color=\"navy\">IP Notification provided by <a href=\"", 0),
      0u);
  EXPECT_NE(lines[3].find(std::string(kMakerWebSite)), std::string::npos);
  EXPECT_NE(lines[3].find(">Tarnwick</a></font></BODY></HTML>"), std::string::npos);
  EXPECT_EQ(page.find('\n'), page.find("\r\n") + 1);  // no bare LF
  EXPECT_EQ(ReplaceAllPlaceholders(page, "10.1.2.3").find("<IPADDRESS>"), std::string::npos);
}

TEST(NotifSummary, OneTextPerKind) {
  Notif step;
  step.emailNotifr.ETo = "me@example.org";
  step.FTPNotifr.FTPServer = "ftp.example.org";
  step.LaunchNotifr.LnchApp = "C:\\tools\\update.exe";
  step.sseconds = 45;
  step.NotifyMethod = kNotifyEmail;
  EXPECT_EQ(NotifSummary(step), "Send email to me@example.org");
  step.NotifyMethod = kNotifyFtp;
  EXPECT_EQ(NotifSummary(step), "Upload web page to ftp.example.org");
  step.NotifyMethod = kNotifyLaunch;
  EXPECT_EQ(NotifSummary(step), "Launch C:\\tools\\update.exe");
  step.NotifyMethod = kNotifySleep;
  EXPECT_EQ(NotifSummary(step), "Sleep 45 seconds.");
  step.NotifyMethod = 7;
  EXPECT_EQ(NotifSummary(step), "");
}

}  // namespace
}  // namespace tarnwick
