// The e-mail step (retries, the warning box) and the editor's test send.
#include "notify/smtp_step.h"

#include <gtest/gtest.h>

#include "unit/net/mail_fakes.h"

namespace tarnwick::net {
namespace {

using testing::BoxRecorder;
using testing::Data;
using testing::FakeNetwork;

const char* const kHello = "220 hi\r\n250 hello\r\n";

class SmtpStepTest : public ::testing::Test {
 protected:
  SmtpStepTest() {
    settings.SMTPServer = "mx.example";
    step.emailNotifr.eFrom = "ip@home.example";
    step.emailNotifr.ETo = "bob@mx.example";
    step.emailNotifr.esubject = "New IP Address: <IPADDRESS>";
    step.emailNotifr.emessage = "Your new IP Address is: <IPADDRESS>";
  }

  MailDeps Deps() {
    return {net, "pc1", 1252, [] { return MailTime{2025, 3, 4, 9, 5, 7, 60}; },
            net.VirtualClock()};
  }
  void Run() { SendMailStep(settings, step, "10.0.0.7", Deps(), kCorner); }

  static constexpr ScreenPoint kCorner{120, 80};
  FakeNetwork net;
  BoxRecorder recorder;
  Settings settings;
  Notif step;
};

TEST_F(SmtpStepTest, SendsOnceReplacingTheFirstPlaceholderOnly) {
  step.emailNotifr.esubject = "IP <IPADDRESS> was <IPADDRESS>";
  step.emailNotifr.emessage = "<ipaddress> is <IPADDRESS>\r\n.";
  step.emailNotifr.maxretries = 5;
  auto server = net.AddServer(
      {Data(std::string(kHello) + "250 r\r\n250 s\r\n250 t\r\n354 go\r\n250 queued\r\n")});
  Run();
  EXPECT_TRUE(recorder.boxes.empty());
  EXPECT_EQ(server->written,
            "ehlo pc1\r\nRset\r\nMail from:<ip@home.example>\r\nRCPT to:<bob@mx.example>\r\n"
            "Data\r\n"
            "From: ip@home.example\r\nSubject: IP 10.0.0.7 was <IPADDRESS>\r\n"
            "To: bob@mx.example\r\nDate: Tue, 4 Mar 2025 09:05:07 +0100\r\nX-Priority: 3\r\n"
            "\r\n<ipaddress> is 10.0.0.7\r\n..\r\n.\r\nQuit\r\n");
  EXPECT_EQ(net.connects.size(), 1u);
}

TEST_F(SmtpStepTest, UnreachableServerWithoutRetriesMakesOneAttemptOfTwoConnects) {
  Run();
  EXPECT_EQ(net.connects.size(), 2u);
  ASSERT_EQ(recorder.boxes.size(), 1u);
  EXPECT_EQ(recorder.boxes[0].text,
            "Error sending message: Socket Error # 10061\r\nConnection refused.");
  EXPECT_EQ(recorder.boxes[0].icon, BoxIcon::Warning);
  EXPECT_EQ(recorder.boxes[0].position, kCorner);
}

TEST_F(SmtpStepTest, RefusedRecipientRetriesOverTheOpenConnection) {
  step.emailNotifr.maxretries = 3;
  std::vector<std::shared_ptr<testing::StreamState>> servers;
  for (int i = 0; i < 4; ++i) {
    servers.push_back(
        net.AddServer({Data(std::string(kHello) + "250 r\r\n250 s\r\n550 no such user\r\n")}));
  }
  Run();
  // Each later attempt finds the connection open ("Already connected."), quits
  // it and connects afresh; the last one is closed when the step ends.
  for (const auto& server : servers) {
    EXPECT_EQ(server->written,
              "ehlo pc1\r\nRset\r\nMail from:<ip@home.example>\r\nRCPT to:<bob@mx.example>\r\n"
              "Quit\r\n");
    EXPECT_TRUE(server->closed);
  }
  EXPECT_EQ(net.connects.size(), 4u);
  ASSERT_EQ(recorder.boxes.size(), 1u);
  EXPECT_EQ(recorder.boxes[0].text, "Error sending message: no such user");
}

TEST_F(SmtpStepTest, SecondAttemptSucceedsAfterATemporaryFailure) {
  step.emailNotifr.maxretries = 1;
  net.AddServer({Data(std::string(kHello) + "250 r\r\n250 s\r\n250 t\r\n421 busy\r\n")});
  auto good = net.AddServer(
      {Data(std::string(kHello) + "250 r\r\n250 s\r\n250 t\r\n354 go\r\n250 queued\r\n")});
  Run();
  EXPECT_TRUE(recorder.boxes.empty());
  EXPECT_TRUE(good->written.ends_with(".\r\nQuit\r\n"));
}

TEST_F(SmtpStepTest, RetriesAreBoundedWhateverIsStored) {
  step.emailNotifr.maxretries = 1000000;
  Run();
  EXPECT_EQ(net.connects.size(), 22u);  // 11 attempts of two connects
  step.emailNotifr.maxretries = -4;
  net.connects.clear();
  Run();
  EXPECT_EQ(net.connects.size(), 2u);
  EXPECT_EQ(recorder.boxes.size(), 2u);
}

TEST_F(SmtpStepTest, StalledServerEndsWithATimeOutBox) {
  net.AddServer({testing::Stall()});
  net.AddServer({Data("220 hi\r\n"), testing::Stall()});
  Run();
  ASSERT_EQ(recorder.boxes.size(), 1u);
  EXPECT_EQ(recorder.boxes[0].text,
            "Error sending message: Socket Error # 10060\r\nConnection timed out.");
}

TEST_F(SmtpStepTest, AnEmptyServerNameIsRefusedWithoutConnecting) {
  settings.SMTPServer = "";
  step.emailNotifr.maxretries = 2;
  Run();
  TestSendMail(settings, step.emailNotifr, "10.0.0.7", Deps(), kCorner);
  EXPECT_TRUE(net.connects.empty());
  ASSERT_EQ(recorder.boxes.size(), 2u);
  EXPECT_EQ(recorder.boxes[0].text, "Error sending message: No SMTP server name is set.");
  EXPECT_EQ(recorder.boxes[1].text, kTestConnectFailed);
}

TEST_F(SmtpStepTest, LineBreaksInHeaderFieldsAreRefusedWithoutConnecting) {
  step.emailNotifr.ETo = "bob@mx.example\r\nRCPT to:all@mx.example";
  Run();
  EXPECT_TRUE(net.connects.empty());
  ASSERT_EQ(recorder.boxes.size(), 1u);
  EXPECT_EQ(recorder.boxes[0].text,
            "Error sending message: The recipient address must not contain line breaks.");
}

TEST_F(SmtpStepTest, TestSendShowsOneOfThreeMessagesAtTheEditorsCorner) {
  struct Case {
    std::vector<std::string> servers;  // "" is a refused connection
    const char* text;
    BoxIcon icon;
  } cases[] = {
      {{"", ""}, kTestConnectFailed, BoxIcon::Warning},
      {{"554 no\r\n", "554 no\r\n"}, kTestConnectFailed, BoxIcon::Warning},
      {{"", std::string(kHello) + "250 r\r\n550 denied\r\n"}, kTestSendFailed, BoxIcon::Warning},
      {{std::string(kHello) + "250 r\r\n250 s\r\n250 t\r\n354 go\r\n250 ok\r\n"},
       kTestSendDone,
       BoxIcon::Question},
  };
  for (const Case& c : cases) {
    FakeNetwork n;
    for (const std::string& s : c.servers) {
      if (s.empty()) {
        n.AddRefusal();
      } else {
        n.AddServer({Data(s)});
      }
    }
    BoxRecorder boxes;
    MailDeps deps{n, "pc1", 1252, [] { return MailTime{}; }, n.VirtualClock()};
    TestSendMail(settings, step.emailNotifr, "", deps, {5, 6});
    ASSERT_EQ(boxes.boxes.size(), 1u) << c.text;
    EXPECT_EQ(boxes.boxes[0].text, c.text);
    EXPECT_EQ(boxes.boxes[0].icon, c.icon);
    EXPECT_EQ(boxes.boxes[0].position, (ScreenPoint{5, 6}));
    EXPECT_EQ(n.connects.size(), c.servers.size()) << c.text;
  }
}

TEST_F(SmtpStepTest, SubmissionSettingsReachTheClientAndTheTestSendNamesTheReason) {
  settings.SMTPPort = 465;
  settings.SMTPSecurity = 2;
  settings.SMTPUser = "me";
  settings.SMTPPass = "secret";
  auto server = net.AddServer({Data("220 hi\r\n250-mx\r\n250 AUTH PLAIN\r\n235 ok\r\n250 r\r\n"
                                    "250 s\r\n250 t\r\n354 go\r\n250 queued\r\n")});
  Run();
  EXPECT_TRUE(recorder.boxes.empty());
  EXPECT_EQ(net.connects, std::vector<std::string>{"mx.example:465/30000"});
  EXPECT_EQ(server->written.substr(0, 48), "[TLS]ehlo pc1\r\nAUTH PLAIN AG1lAHNlY3JldA==\r\nRset");

  net.tls_refusal = "The certificate of mx.example was refused: it was issued for another name.";
  auto refused = net.AddServer({});
  net.AddServer({});
  TestSendMail(settings, step.emailNotifr, "", Deps(), kCorner);
  ASSERT_EQ(recorder.boxes.size(), 1u);
  EXPECT_EQ(recorder.boxes[0].text, std::string(kTestConnectFailed) + "\r\n\r\n" + *net.tls_refusal);
  EXPECT_EQ(refused->written, "");

  // A stored value no dialog offers never turns into a plain-text guess.
  settings.SMTPSecurity = 7;
  Run();
  ASSERT_EQ(recorder.boxes.size(), 2u);
  EXPECT_EQ(recorder.boxes[1].text, "Error sending message: Invalid SMTP security setting: 7");
  EXPECT_EQ(net.connects.size(), 3u);
}

}  // namespace
}  // namespace tarnwick::net
