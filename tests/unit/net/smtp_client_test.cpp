// SMTP conversations against scripted servers: every line the client sends is
// checked byte for byte, including when the server misbehaves.
#include "net/smtp_client.h"

#include <gtest/gtest.h>

#include "unit/net/mail_fakes.h"

namespace tarnwick::net {
namespace {

using testing::Bytewise;
using testing::Closed;
using testing::Data;
using testing::FakeNetwork;
using testing::Stall;

MailMessage SampleMessage() {
  MailMessage m;
  m.from = "ip@home.example";
  m.to = {{"Bob, Jr", "bob@mx.example"}, {"", "pager@gw.example"}};
  m.subject = "New IP Address: 10.0.0.7";
  m.body = {"Your new IP Address is: 10.0.0.7", ".", ".hidden", ""};
  m.date = "Tue, 4 Mar 2025 09:05:07 +0100";
  m.code_page = 1252;
  return m;
}

const char* const kSampleData =
    "From: ip@home.example\r\n"
    "Subject: New IP Address: 10.0.0.7\r\n"
    "To: \"Bob, Jr\" <bob@mx.example>, pager@gw.example\r\n"
    "Date: Tue, 4 Mar 2025 09:05:07 +0100\r\n"
    "X-Priority: 3\r\n"
    "\r\n"
    "Your new IP Address is: 10.0.0.7\r\n"
    "..\r\n"
    "..hidden\r\n"
    "\r\n"
    ".\r\n";

const char* const kGoodServer =
    "220 mx.example ready\r\n"
    "250-mx.example hello\r\n250-SIZE 1000000\r\n250 8BITMIME\r\n"
    "250 reset\r\n"
    "250 sender ok\r\n"
    "250 rcpt ok\r\n"
    "250 rcpt ok\r\n"
    "354 go ahead\r\n"
    "250 queued\r\n";

std::string Conversation(const std::string& hello) {
  return hello +
         "Rset\r\n"
         "Mail from:<ip@home.example>\r\n"
         "RCPT to:<bob@mx.example>\r\n"
         "RCPT to:<pager@gw.example>\r\n"
         "Data\r\n" +
         kSampleData + "Quit\r\n";
}

class SmtpClientTest : public ::testing::Test {
 protected:
  SmtpClientTest() { client.SetHost("mx.example"); }
  FakeNetwork net;
  SmtpClient client{net, "pc1", net.VirtualClock()};
};

TEST_F(SmtpClientTest, SendsTheWholeConversationByteForByte) {
  auto server = net.AddServer({Data(kGoodServer)});
  client.SetHost("mx.example");
  client.Connect();
  client.Send(SampleMessage());
  client.Disconnect();
  EXPECT_EQ(server->written, Conversation("ehlo pc1\r\n"));
  EXPECT_TRUE(server->closed);
  EXPECT_EQ(net.connects, std::vector<std::string>{"mx.example:25/30000"});
  EXPECT_EQ(server->read_timeouts.front(), kReplyTimeoutMs);
}

TEST_F(SmtpClientTest, RepliesSplitIntoSingleBytesReadTheSame) {
  auto server = net.AddServer(Bytewise(kGoodServer));
  client.Connect();
  client.Send(SampleMessage());
  client.Disconnect();
  EXPECT_EQ(server->written, Conversation("ehlo pc1\r\n"));
}

TEST_F(SmtpClientTest, FallsBackToHeloWhenEhloIsRefused) {
  auto server = net.AddServer({Data("220 old\r\n500 what?\r\n250 hi\r\n")});
  client.Connect();
  client.Disconnect();
  EXPECT_EQ(server->written, "ehlo pc1\r\nHelo pc1\r\nQuit\r\n");
}

TEST_F(SmtpClientTest, ConnectFailsWithTheReplyText) {
  struct Case {
    const char* script;
    const char* error;
    const char* written;
  } cases[] = {
      {"554 go away\r\n", "go away", ""},
      {"220 hi\r\n500 no\r\n501 still no\r\n", "still no", "ehlo pc1\r\nHelo pc1\r\n"},
      // Inner lines of a multi-line reply may be free text: only "220 " ends it.
      {"220-first\r\n220-second\r\n421 not the end\r\n", "Connection closed by the server.", ""},
      {"hello there\r\n", "Malformed reply from server: hello there", ""},
      {"2200 ready\r\n", "Malformed reply from server: 2200 ready", ""},
      {"220 ok\r\n25", "Connection closed by the server.", "ehlo pc1\r\n"},
  };
  for (const Case& c : cases) {
    FakeNetwork n;
    auto server = n.AddServer({Data(c.script), Closed()});
    SmtpClient smtp(n, "pc1", n.VirtualClock());
    smtp.SetHost("mx.example");
    try {
      smtp.Connect();
      ADD_FAILURE() << c.script;
    } catch (const Error& e) {
      EXPECT_EQ(std::string(e.what()), c.error) << c.script;
    }
    EXPECT_EQ(server->written, c.written) << c.script;
  }
}

TEST_F(SmtpClientTest, AStalledServerEndsInATimeOut) {
  auto server = net.AddServer({Data("220 ok\r\n"), Stall()});
  try {
    client.Connect();
    FAIL();
  } catch (const SocketError& e) {
    EXPECT_EQ(e.code(), kTimedOutCode);
    EXPECT_STREQ(e.what(), "Socket Error # 10060\r\nConnection timed out.");
  }
}

TEST_F(SmtpClientTest, AServerThatDripsBytesIsBoundedByTheReplyTimeLimit) {
  std::vector<testing::Chunk> drip = {Data("220 ok\r\n")};
  for (int i = 0; i < 100; ++i) drip.push_back(Data("x", 1000));  // one byte a second
  auto server = net.AddServer(drip);
  EXPECT_THROW(client.Connect(), SocketError);
  EXPECT_LE(net.now_ms, kReplyTimeoutMs + 1000);
}

TEST_F(SmtpClientTest, AnOverlongReplyLineIsAnError) {
  net.AddServer({Data("220 " + std::string(5000, 'a') + "\r\n")});
  EXPECT_THROW(client.Connect(), Error);
}

TEST_F(SmtpClientTest, EachRefusalEndsTheSendAtThatCommand) {
  struct Case {
    const char* replies;  // after the hello
    const char* last_command;
    const char* error;
  } cases[] = {
      {"250 r\r\n451 try later\r\n", "Mail from:<ip@home.example>\r\n", "try later"},
      {"250 r\r\n250 s\r\n550 no such user\r\n", "RCPT to:<bob@mx.example>\r\n", "no such user"},
      {"250 r\r\n250 s\r\n250 a\r\n250 b\r\n503 bad sequence\r\n", "Data\r\n", "bad sequence"},
      {"250 r\r\n250 s\r\n250 a\r\n250 b\r\n354 go\r\n552-too big\r\n552 sorry\r\n", ".\r\n",
       "too big\r\nsorry"},
      {"250 r\r\n250 s\r\n250 a\r\n250 b\r\n354 go\r\n", ".\r\n",
       "Socket Error # 10060\r\nConnection timed out."},
  };
  for (const Case& c : cases) {
    FakeNetwork n;
    auto server = n.AddServer({Data(std::string("220 hi\r\n250 hello\r\n") + c.replies)});
    SmtpClient smtp(n, "pc1", n.VirtualClock());
    smtp.SetHost("mx.example");
    smtp.Connect();
    try {
      smtp.Send(SampleMessage());
      ADD_FAILURE() << c.error;
    } catch (const Error& e) {
      EXPECT_EQ(std::string(e.what()), c.error);
    }
    EXPECT_TRUE(smtp.Connected()) << "a failed send keeps the connection";
    const std::string& w = server->written;
    EXPECT_EQ(w.substr(w.size() - std::string(c.last_command).size()), c.last_command);
  }
}

TEST_F(SmtpClientTest, RecipientsAreAcceptedWith250Or251) {
  struct Case {
    const char* recipient_replies;  // to the two "RCPT to:<"
    const char* error;              // null: sent
  } cases[] = {
      {"250 ok\r\n251 user not local; will forward\r\n", nullptr},
      {"251 will forward\r\n250 ok\r\n", nullptr},
      {"250 ok\r\n252 cannot verify\r\n", "cannot verify"},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.recipient_replies);
    FakeNetwork n;
    auto server = n.AddServer({Data(std::string("220 hi\r\n250 hello\r\n250 r\r\n250 s\r\n") +
                                    c.recipient_replies + "354 go\r\n250 queued\r\n")});
    SmtpClient smtp(n, "pc1", n.VirtualClock());
    smtp.SetHost("mx.example");
    smtp.Connect();
    try {
      smtp.Send(SampleMessage());
      EXPECT_EQ(c.error, nullptr);
      EXPECT_TRUE(server->written.ends_with("\r\n.\r\n"));
    } catch (const Error& e) {
      EXPECT_STREQ(e.what(), c.error);
    }
  }
}

TEST_F(SmtpClientTest, RsetAcceptsAnyReplyButNotGarbage) {
  auto server = net.AddServer({Data("220 hi\r\n250 hello\r\n502 no rset here\r\n250 ok\r\n")});
  client.Connect();
  MailMessage m = SampleMessage();
  m.to.clear();
  EXPECT_THROW(client.Send(m), Error);  // the sender's 250 is followed by a stall at "Data"
  EXPECT_NE(server->written.find("Data\r\n"), std::string::npos);

  FakeNetwork n;
  n.AddServer({Data("220 hi\r\n250 hello\r\n?\r\n")});
  SmtpClient smtp(n, "pc1", n.VirtualClock());
  smtp.SetHost("mx.example");
  smtp.Connect();
  EXPECT_THROW(smtp.Send(SampleMessage()), Error);
}

TEST_F(SmtpClientTest, ConnectWhileConnectedIsRefused) {
  net.AddServer({Data("220 hi\r\n250 hello\r\n")});
  client.Connect();
  try {
    client.Connect();
    FAIL();
  } catch (const Error& e) {
    EXPECT_STREQ(e.what(), "Already connected.");
  }
  EXPECT_EQ(net.connects.size(), 1u);
}

TEST_F(SmtpClientTest, QuitToAPeerThatHasGoneStillCloses) {
  auto server = net.AddServer({Data("220 hi\r\n250 hello\r\n"), testing::Reset()});
  client.Connect();
  EXPECT_THROW(client.Send(SampleMessage()), SocketError);
  client.Disconnect();
  EXPECT_FALSE(client.Connected());
  EXPECT_TRUE(server->closed);
}

TEST_F(SmtpClientTest, HeaderValuesWithLineBreaksAreRefusedBeforeAnythingIsSent) {
  auto server = net.AddServer({Data(kGoodServer)});
  client.Connect();
  const std::string before = server->written;
  MailMessage m = SampleMessage();
  m.subject = "hi\r\nBcc: victim@example";
  EXPECT_THROW(client.Send(m), Error);
  m = SampleMessage();
  m.to[1].address = "a@b>\r\nRCPT to:<c@d";
  EXPECT_THROW(client.Send(m), Error);
  m = SampleMessage();
  m.from = "a@b\nx";
  EXPECT_THROW(client.Send(m), Error);
  EXPECT_EQ(server->written, before);
}

TEST(SmtpEhloReply, ReadsStartTlsAndTheSignInsOffered) {
  struct Case {
    std::vector<std::string> lines;
    bool starttls, plain, login;
  } cases[] = {
      {{"mx hello", "SIZE 100", "STARTTLS", "AUTH LOGIN PLAIN"}, true, true, true},
      {{"mx hello", "auth=login", "8BITMIME"}, false, false, true},
      {{"mx hello", "AUTH CRAM-MD5 XOAUTH2"}, false, false, false},
      // The greeting line is the server's name, never a keyword.
      {{"STARTTLS AUTH PLAIN"}, false, false, false},
      {{"mx", "STARTTLSX", "AUTHPLAIN", "X-AUTH PLAIN"}, false, false, false},
  };
  for (const Case& c : cases) {
    const SmtpCapabilities got = ParseEhloReply(Reply{250, c.lines});
    EXPECT_EQ(got.starttls, c.starttls) << c.lines.back();
    EXPECT_EQ(got.auth_plain, c.plain) << c.lines.back();
    EXPECT_EQ(got.auth_login, c.login) << c.lines.back();
  }
}

// Connect with TLS and sign-in options: the exact bytes sent, "[TLS]" where
// encryption starts, and the error when it fails.
TEST(SmtpSecureConnect, ConversationsAndRefusals) {
  const SmtpOptions starttls{587, SmtpSecurity::kStartTls, "me", "secret"};
  const SmtpOptions tls{465, SmtpSecurity::kTls, "me", "secret"};
  const std::string ehlo_tls = "250-mx\r\n250-STARTTLS\r\n250 AUTH LOGIN PLAIN\r\n";
  struct Case {
    const char* name;
    SmtpOptions options;
    std::string script;
    const char* written;
    const char* error;  // null: connected
  } cases[] = {
      // "|" splits the server's output where the TLS handshake comes between.
      {"starttls then plain", starttls,
       "220 hi\r\n" + ehlo_tls + "220 go\r\n|250-mx\r\n250 AUTH PLAIN LOGIN\r\n235 ok\r\n",
       "ehlo pc1\r\nSTARTTLS\r\n[TLS]ehlo pc1\r\nAUTH PLAIN AG1lAHNlY3JldA==\r\n", nullptr},
      {"login only", tls, "220 hi\r\n250-mx\r\n250 AUTH LOGIN\r\n334 VXNlcm5hbWU6\r\n334 UGFzc3dvcmQ6\r\n235 ok\r\n",
       "[TLS]ehlo pc1\r\nAUTH LOGIN\r\nbWU=\r\nc2VjcmV0\r\n", nullptr},
      {"tls without user keeps helo fallback", {465, SmtpSecurity::kTls, "", ""},
       "220 hi\r\n500 no\r\n250 hi\r\n", "[TLS]ehlo pc1\r\nHelo pc1\r\n", nullptr},
      {"no starttls offered: never plain text on", starttls,
       "220 hi\r\n250-mx\r\n250 AUTH PLAIN\r\n", "ehlo pc1\r\n",
       "The SMTP server does not offer STARTTLS; nothing was sent."},
      {"starttls refused", starttls, "220 hi\r\n" + ehlo_tls + "454 not now\r\n",
       "ehlo pc1\r\nSTARTTLS\r\n", "not now"},
      {"ehlo refused after tls: no helo", starttls,
       "220 hi\r\n" + ehlo_tls + "220 go\r\n|502 eh\r\n", "ehlo pc1\r\nSTARTTLS\r\n[TLS]ehlo pc1\r\n",
       "eh"},
      {"bad password", tls, "220 hi\r\n250-mx\r\n250 AUTH PLAIN\r\n535 5.7.8 bad credentials\r\n",
       "[TLS]ehlo pc1\r\nAUTH PLAIN AG1lAHNlY3JldA==\r\n",
       "The SMTP server refused the sign-in: 5.7.8 bad credentials"},
      {"login refused at the user name", tls,
       "220 hi\r\n250-mx\r\n250 AUTH LOGIN\r\n334 VXNlcm5hbWU6\r\n535 no such user\r\n",
       "[TLS]ehlo pc1\r\nAUTH LOGIN\r\nbWU=\r\n", "The SMTP server refused the sign-in: no such user"},
      {"no known mechanism", tls, "220 hi\r\n250-mx\r\n250 AUTH CRAM-MD5\r\n", "[TLS]ehlo pc1\r\n",
       "The SMTP server offers no sign-in this program knows (PLAIN or LOGIN)."},
      {"password never in clear", {25, SmtpSecurity::kNone, "me", "secret"}, "", "",
       "The SMTP password is sent only over TLS: choose STARTTLS or TLS."},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    FakeNetwork n;
    const size_t split = std::min(c.script.find('|'), c.script.size());
    auto server = n.AddServer({Data(c.script.substr(0, split)),
                               Data(c.script.substr(std::min(split + 1, c.script.size()))), Closed()});
    SmtpClient smtp(n, "pc1", n.VirtualClock());
    smtp.SetHost("mx.example");
    smtp.SetOptions(c.options);
    try {
      smtp.Connect();
      EXPECT_EQ(c.error, nullptr);
    } catch (const Error& e) {
      ASSERT_NE(c.error, nullptr) << e.what();
      EXPECT_EQ(std::string(e.what()), c.error);
      EXPECT_EQ(std::string(e.what()).find("secret"), std::string::npos);
    }
    EXPECT_EQ(server->written, c.written);
    if (*c.written) {
      EXPECT_EQ(n.connects.front(), "mx.example:" + std::to_string(c.options.port) + "/30000");
    }
  }
}

TEST(SmtpSecureConnect, PlainTextSentBeforeTheHandshakeIsNeverRead) {
  FakeNetwork n;
  // An attacker on the path appends a reply after the server's 220 to STARTTLS.
  auto server = n.AddServer({Data("220 hi\r\n250-mx\r\n250 STARTTLS\r\n220 go\r\n250 forged\r\n"),
                             Data("250-mx\r\n250 SIZE 1\r\n")});
  SmtpClient smtp(n, "pc1", n.VirtualClock());
  smtp.SetHost("mx.example");
  smtp.SetOptions({587, SmtpSecurity::kStartTls, "", ""});
  smtp.Connect();
  smtp.Disconnect();
  EXPECT_EQ(server->written, "ehlo pc1\r\nSTARTTLS\r\n[TLS]ehlo pc1\r\nQuit\r\n");
  EXPECT_TRUE(server->script.empty()) << "the second hello was answered by the real reply";
}

TEST(SmtpSecureConnect, ARefusedCertificateEndsTheConnectionWithItsReason) {
  for (const SmtpSecurity security : {SmtpSecurity::kTls, SmtpSecurity::kStartTls}) {
    FakeNetwork n;
    n.tls_refusal = "The certificate of mx.example was refused: it has expired or is not valid yet.";
    auto server = n.AddServer({Data("220 hi\r\n250-mx\r\n250 STARTTLS\r\n220 go\r\n")});
    SmtpClient smtp(n, "pc1", n.VirtualClock());
    smtp.SetHost("mx.example");
    smtp.SetOptions({587, security, "me", "secret"});
    EXPECT_THROW(
        try { smtp.Connect(); } catch (const Error& e) {
          EXPECT_EQ(std::string(e.what()), *n.tls_refusal);
          throw;
        },
        Error);
    EXPECT_FALSE(smtp.Connected());
    smtp.Disconnect();  // no "Quit" goes out after the refusal
    EXPECT_EQ(n.secured, std::vector<std::string>{"mx.example"});
    EXPECT_EQ(server->written, security == SmtpSecurity::kTls ? "" : "ehlo pc1\r\nSTARTTLS\r\n");
    EXPECT_TRUE(server->closed);
  }
}

}  // namespace
}  // namespace tarnwick::net
