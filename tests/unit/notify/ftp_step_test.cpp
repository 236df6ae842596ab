// FTP conversations and the upload step against scripted servers.
#include <gtest/gtest.h>

#include <map>
#include <utility>

#include "net/ftp_client.h"
#include "notify/ftp_step.h"
#include "notify/page_template.h"
#include "unit/net/mail_fakes.h"

namespace tarnwick::net {
namespace {

using testing::BoxRecorder;
using testing::Data;
using testing::FakeNetwork;

// Files in memory; folders listed in `read_only` cannot be written.
class MemoryFiles : public PageFiles {
 public:
  bool Write(const std::string& path, std::string_view bytes) override {
    for (const std::string& dir : read_only) {
      if (path.starts_with(dir)) return false;
    }
    files[path] = bytes;
    log.push_back("write " + path);
    return true;
  }
  void Remove(const std::string& path) override {
    files.erase(path);
    log.push_back("remove " + path);
  }
  std::map<std::string, std::string> files;
  std::vector<std::string> read_only;
  std::vector<std::string> log;
};

const char* const kLogin = "220 ftp ready\r\n331 password please\r\n230 in\r\n200 type set\r\n";

class FtpStepTest : public ::testing::Test {
 protected:
  FtpStepTest() {
    step.NotifyMethod = kNotifyFtp;
    step.FTPNotifr = {
        "ftp.example", "/pub/mydir/ip.html", "IP <IPADDRESS>, <IPADDRESS>!<IPADDRESS>", 2121, "joe",
        "s3cret"};
  }
  FtpDeps Deps() { return {net, files, "C:\\Prog\\", "C:\\Temp\\", net.VirtualClock()}; }
  void Run() { UploadPageStep(step, "10.0.0.7", Deps()); }
  std::string RunExpectingError() {
    try {
      Run();
    } catch (const Error& e) {
      return e.what();
    }
    ADD_FAILURE() << "the step succeeded";
    return "";
  }

  FakeNetwork net;
  MemoryFiles files;
  Notif step;
};

TEST_F(FtpStepTest, UploadsThePageInActiveModeAndDeletesTheTemporaryFile) {
  auto control = net.AddServer(
      {Data(std::string(kLogin) + "215 UNIX\r\n250 ok\r\n200 PORT ok\r\n150 go\r\n226 done\r\n")});
  auto data = net.AddDataConnection();
  Run();
  EXPECT_EQ(control->written,
            "user joe\r\npass s3cret\r\ntype I\r\nsyst\r\nCWD /pub/mydir\r\n"
            "PORT 192,168,1,5,200,10\r\nSTOR ip.html\r\nQuit\r\n");
  EXPECT_EQ(data->written, "IP 10.0.0.7, 10.0.0.7!10.0.0.7");
  EXPECT_TRUE(data->closed);
  EXPECT_TRUE(control->closed);
  EXPECT_EQ(net.connects, std::vector<std::string>{"ftp.example:2121/30000"});
  EXPECT_EQ(net.listens, std::vector<std::string>{"192.168.1.5"});
  EXPECT_EQ(net.accept_timeouts, std::vector<int>{kDataAcceptTimeoutMs});
  EXPECT_EQ(files.log, (std::vector<std::string>{"write C:\\Prog\\tmpdog.html",
                                                 "remove C:\\Prog\\tmpdog.html"}));
  EXPECT_TRUE(files.files.empty());
}

TEST_F(FtpStepTest, PathDecidesTheDirectoryChangeAndTheStoreCommand) {
  struct Case {
    const char* path;
    const char* commands;  // after "syst"
  } cases[] = {
      {"ip.html", "PORT 192,168,1,5,200,10\r\nSTOR ip.html\r\n"},
      {"/ip.html", "PORT 192,168,1,5,200,10\r\nSTOR ip.html\r\n"},
      {"/pub/", "CWD /pub\r\nPORT 192,168,1,5,200,10\r\nSTOU \r\n"},
      {"a/b/c.htm", "CWD a/b\r\nPORT 192,168,1,5,200,10\r\nSTOR c.htm\r\n"},
  };
  for (const Case& c : cases) {
    FakeNetwork n;
    const bool cwd = std::string(c.commands).starts_with("CWD");
    auto control = n.AddServer(
        {Data("220 hi\r\n230 welcome\r\n200 I\r\n500 no syst\r\n" +
              std::string(cwd ? "250 ok\r\n" : "") + "200 ok\r\n125 go\r\n250 stored\r\n")});
    n.AddDataConnection();
    step.FTPNotifr.FTPPath = c.path;
    UploadPageStep(step, "1.2.3.4", {n, files, "/prog/", "/tmp/", n.VirtualClock()});
    EXPECT_EQ(control->written,
              std::string("user joe\r\ntype I\r\nsyst\r\n") + c.commands + "Quit\r\n")
        << c.path;
  }
}

TEST_F(FtpStepTest, TransferAbortedThenCompleteCountsAsStored) {
  auto control =
      net.AddServer({Data(std::string(kLogin) + "200 UNIX\r\n250 ok\r\n200 ok\r\n150 go\r\n"),
                     Data("426 data closed\r\n"), Data("226 done\r\n")});
  net.AddDataConnection();
  Run();
  EXPECT_TRUE(control->written.ends_with("STOR ip.html\r\nQuit\r\n"));
}

TEST_F(FtpStepTest, EveryRefusalQuitsAndEndsWithTheReplyText) {
  struct Case {
    const char* replies;
    const char* error;
    const char* last;  // last command before "Quit"
  } cases[] = {
      {"421 too many users\r\n", "too many users", ""},
      {"220 hi\r\n530 no anonymous\r\n", "no anonymous", "user joe\r\n"},
      {"220 hi\r\n331 pw\r\n530 Login incorrect\r\n", "Login incorrect", "pass s3cret\r\n"},
      {"220 hi\r\n230 in\r\n504 no binary\r\n", "no binary", "type I\r\n"},
      {"220 hi\r\n230 in\r\n200 I\r\n502 no\r\n", "no", "syst\r\n"},
      {"220 hi\r\n230 in\r\n200 I\r\n215 U\r\n550 no dir\r\n", "no dir", "CWD /pub/mydir\r\n"},
      {"220 hi\r\n230 in\r\n200 I\r\n215 U\r\n250 ok\r\n500 no PORT\r\n", "no PORT",
       "PORT 192,168,1,5,200,10\r\n"},
      {"220 hi\r\n230 in\r\n200 I\r\n215 U\r\n250 ok\r\n200 ok\r\n553 not allowed\r\n",
       "not allowed", "STOR ip.html\r\n"},
      {"220 hi\r\n230 in\r\n200 I\r\n215 U\r\n250 ok\r\n200 ok\r\n150 go\r\n451 disk full\r\n",
       "disk full", "STOR ip.html\r\n"},
      {"220 hi\r\n230 in\r\n200 I\r\n215 U\r\n250 ok\r\n200 ok\r\n150 go\r\n426 broken\r\n"
       "451 lost\r\n",
       "broken", "STOR ip.html\r\n"},
      {"220 hi\r\n230 in\r\n200 I\r\n215 U\r\n250 ok\r\n200 ok\r\n150 go\r\n",
       "Socket Error # 10060\r\nConnection timed out.", "STOR ip.html\r\n"},
  };
  for (const Case& c : cases) {
    FakeNetwork n;
    auto control = n.AddServer({Data(c.replies)});
    n.AddDataConnection();
    MemoryFiles disk;
    try {
      UploadPageStep(step, "1.2.3.4", {n, disk, "/prog/", "", n.VirtualClock()});
      ADD_FAILURE() << c.error;
    } catch (const Error& e) {
      EXPECT_EQ(std::string(e.what()), c.error);
    }
    EXPECT_TRUE(control->written.ends_with(std::string(c.last) + "Quit\r\n")) << c.error;
    EXPECT_TRUE(control->closed);
    // A failed store leaves the page behind; the next step overwrites it.
    const std::string last = c.last;
    const bool stored = last.starts_with("STOR") || last.starts_with("PORT");
    EXPECT_EQ(disk.files.count("/prog/tmpdog.html"), stored ? 1u : 0u) << c.error;
  }
}

TEST_F(FtpStepTest, ADataConnectionThatNeverOpensTimesOut) {
  auto control =
      net.AddServer({Data(std::string(kLogin) + "215 U\r\n250 ok\r\n200 ok\r\n150 go\r\n")});
  net.AddDataConnection(false);
  EXPECT_EQ(RunExpectingError(), "Socket Error # 10060\r\nConnection timed out.");
  EXPECT_EQ(net.now_ms, kDataAcceptTimeoutMs);
  EXPECT_TRUE(control->written.ends_with("STOR ip.html\r\nQuit\r\n"));
}

TEST_F(FtpStepTest, OnlyTheServerMayOpenTheDataConnection) {
  const std::string stranger = "198.51.100.66";
  struct Case {
    const char* name;
    std::vector<std::pair<std::string, int64_t>> arrivals;  // peer, virtual ms into the wait
    bool server_connects;
    std::vector<int> accept_timeouts;
    const char* error;  // null: stored
  } cases[] = {
      {"a stranger first, then the server", {{stranger, 1000}}, true, {60000, 59000}, nullptr},
      {"strangers until the limit",
       {{stranger, 20000}, {"127.0.0.1", 20000}, {stranger, 20000}},
       false,
       {60000, 40000, 20000},
       "Socket Error # 10060\r\nConnection timed out."},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    FakeNetwork n;
    MemoryFiles memory;
    n.AddServer(
        {Data(std::string(kLogin) + "215 U\r\n250 ok\r\n200 ok\r\n150 go\r\n226 done\r\n")});
    std::vector<std::shared_ptr<testing::StreamState>> others;
    for (const auto& [peer, after_ms] : c.arrivals) others.push_back(n.AddStranger(peer, after_ms));
    auto data = n.AddDataConnection(c.server_connects);
    try {
      UploadPageStep(step, "10.0.0.7", {n, memory, "C:\\Prog\\", "", n.VirtualClock()});
      EXPECT_EQ(c.error, nullptr);
      EXPECT_EQ(data->written, "IP 10.0.0.7, 10.0.0.7!10.0.0.7");
    } catch (const Error& e) {
      EXPECT_STREQ(e.what(), c.error);
    }
    EXPECT_EQ(n.accept_timeouts, c.accept_timeouts);
    for (const auto& other : others) {
      EXPECT_EQ(other->written, "") << "the page went to a stranger";
      EXPECT_TRUE(other->closed);
    }
  }
}

TEST_F(FtpStepTest, ADataConnectionThePeerDropsIsAnError) {
  auto control = net.AddServer(
      {Data(std::string(kLogin) + "215 U\r\n250 ok\r\n200 ok\r\n150 go\r\n226 ok\r\n")});
  net.AddDataConnection()->reset_on_write = true;
  EXPECT_EQ(RunExpectingError(), "Socket Error # 10054\r\nConnection reset by peer.");
  EXPECT_TRUE(control->written.ends_with("STOR ip.html\r\nQuit\r\n"));
}

TEST_F(FtpStepTest, ServerClosingOrStallingMidLoginIsAnError) {
  net.AddServer({Data("220 hi\r\n331 p"), testing::Closed()});
  EXPECT_EQ(RunExpectingError(), "Connection closed by the server.");
  net.AddServer({Data("220 hi\r\n"), testing::Stall()});
  EXPECT_EQ(RunExpectingError(), "Socket Error # 10060\r\nConnection timed out.");
}

TEST_F(FtpStepTest, ThePasswordNeverAppearsInAnError) {
  net.AddServer({Data("220 hi\r\n331 pw\r\n530 bad password s3cret for joe\r\n")});
  const std::string error = RunExpectingError();
  EXPECT_EQ(error.find("s3cret"), std::string::npos) << error;
  step.FTPNotifr.FTPPass = "a\r\nDELE index.html";
  const std::string refused = RunExpectingError();
  EXPECT_EQ(refused, "The FTP password must not contain line breaks.");
  EXPECT_EQ(refused.find("DELE"), std::string::npos);
}

TEST_F(FtpStepTest, UnsafeEmptyOrOverlongFieldsAreRefusedBeforeConnecting) {
  const std::pair<std::string, std::string> bad[] = {{"user", "joe\r\nDELE x"},
                                                     {"path", "ip.html\nDELE x"},
                                                     {"path", std::string(255, 'a')},
                                                     {"port", "70000"},
                                                     {"port", "0"}};
  for (const auto& [field, value] : bad) {
    Notif s = step;
    if (field == "user") s.FTPNotifr.FTPUser = value;
    if (field == "path") s.FTPNotifr.FTPPath = value;
    if (field == "port") s.FTPNotifr.FTPPort = std::stoi(value);
    EXPECT_THROW(UploadPageStep(s, "1.2.3.4", Deps()), Error) << field;
  }
  // An empty name would reach this machine.
  const std::string server = std::exchange(step.FTPNotifr.FTPServer, "");
  EXPECT_EQ(RunExpectingError(), "No FTP server name is set.");
  step.FTPNotifr.FTPServer = server;
  EXPECT_TRUE(net.connects.empty());
  step.FTPNotifr.FTPPath = std::string(250, 'a') + "/b.h";  // 254 characters is fine
  net.AddServer({Data(std::string(kLogin) + "215 U\r\n250 ok\r\n200 ok\r\n150 go\r\n226 ok\r\n")});
  net.AddDataConnection();
  EXPECT_NO_THROW(Run());
}

TEST_F(FtpStepTest, ReadOnlyProgramFolderFallsBackToTheTemporaryFolder) {
  files.read_only = {"C:\\Prog\\"};
  net.AddServer({Data(std::string(kLogin) + "215 U\r\n250 ok\r\n200 ok\r\n150 go\r\n226 ok\r\n")});
  net.AddDataConnection();
  Run();
  EXPECT_EQ(files.log, (std::vector<std::string>{"write C:\\Temp\\tmpdog.html",
                                                 "remove C:\\Temp\\tmpdog.html"}));

  files.read_only.push_back("C:\\Temp\\");
  auto control = net.AddServer({Data(std::string(kLogin) + "215 U\r\n250 ok\r\n")});
  EXPECT_EQ(RunExpectingError(), "Cannot create file \"C:\\Prog\\tmpdog.html\".");
  EXPECT_TRUE(control->written.ends_with("CWD /pub/mydir\r\nQuit\r\n"));
}

TEST_F(FtpStepTest, TestUploadChecksThePortAndReportsSuccessBeforeDeleting) {
  BoxRecorder boxes;
  FtpTestFields fields{"ftp.example", "21x", "ip.html", "joe", "pw", "<IPADDRESS>"};
  TestUploadPage(fields, "", Deps(), {3, 4});
  ASSERT_EQ(boxes.boxes.size(), 1u);
  EXPECT_EQ(boxes.boxes[0].text, "Invalid port number: not a numeric value.");
  EXPECT_TRUE(net.connects.empty());

  fields.port = "$15";  // hexadecimal, as the integer fields accept it
  auto control =
      net.AddServer({Data("220 hi\r\n230 in\r\n200 I\r\n215 U\r\n200 ok\r\n150 go\r\n226 ok\r\n")});
  auto data = net.AddDataConnection();
  files.log.clear();
  boxes.boxes.clear();
  SetMessageBoxHandler([&](const MessageBoxRequest& r) {
    boxes.boxes.push_back(r);
    files.log.push_back("box " + r.text);
    return 1;
  });
  TestUploadPage(fields, "", Deps(), {3, 4});
  EXPECT_EQ(net.connects, std::vector<std::string>{"ftp.example:21/30000"});
  EXPECT_EQ(data->written, "");
  EXPECT_EQ(files.log,
            (std::vector<std::string>{"write C:\\Prog\\tmpdog.html", "box FTP Successful",
                                      "remove C:\\Prog\\tmpdog.html"}));
  EXPECT_EQ(boxes.boxes[0].position, (ScreenPoint{3, 4}));

  net.AddRefusal();
  EXPECT_THROW(TestUploadPage(fields, "", Deps(), {3, 4}), SocketError);
}

TEST(FtpPort, ArgumentCarriesAddressAndPortBytes) {
  EXPECT_EQ(PortArgument("127.0.0.1", 1025), "127,0,0,1,4,1");
  EXPECT_EQ(PortArgument("10.20.30.40", 65535), "10,20,30,40,255,255");
  EXPECT_THROW(PortArgument("::1", 21), Error);
  EXPECT_THROW(PortArgument("1.2.3", 21), Error);
  EXPECT_THROW(PortArgument("1.2.3.256", 21), Error);
}

TEST(FtpPage, TemplateIsFourLinesWithThePlaceholder) {
  const std::string page(kDefaultPageTemplate);
  EXPECT_TRUE(
      page.starts_with("<HTML><HEAD>\r\n<TITLE>Tarnwick IP Notification</TITLE></HEAD>\r\n"
                       "<BODY><H3>Your current IP Address is: <IPADDRESS></H3>"));
  EXPECT_TRUE(page.ends_with(">Tarnwick</a></font></BODY></HTML>\r\n"));
  size_t lines = 0;
  for (size_t at = page.find("\r\n"); at != std::string::npos; at = page.find("\r\n", at + 2)) {
    ++lines;
  }
  EXPECT_EQ(lines, 4u);
}

TEST(FtpPassiveReply, PortsOf229And227) {
  struct Case {
    bool extended;
    const char* text;
    int port;  // 0: malformed
  } cases[] = {
      {true, "Entering Extended Passive Mode (|||50123|)", 50123},
      {true, "EPSV ok (!!!21!)", 21},
      {true, "Entering Extended Passive Mode (|||0|)", 0},
      {true, "Entering Extended Passive Mode (|1|127.0.0.1|50123|)", 0},
      {true, "Entering Extended Passive Mode (|||99999|)", 0},
      {true, "Entering Extended Passive Mode |||50123|", 0},
      {false, "Entering Passive Mode (10,0,0,9,195,203).", 195 * 256 + 203},
      {false, "Entering Passive Mode 10,0,0,9,4,1", 1025},
      {false, "Entering Passive Mode (10,0,0,9,256,1)", 0},
      {false, "Entering Passive Mode (10,0,0,9,4)", 0},
      {false, "Entering Passive Mode (10,0,0,9,0,0)", 0},
      {false, "Entering Passive Mode (10,0,0,9,1234,1)", 0},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.text);
    if (c.port) {
      EXPECT_EQ(c.extended ? ParseEpsvPort(c.text) : ParsePasvPort(c.text), c.port);
    } else {
      EXPECT_THROW(c.extended ? ParseEpsvPort(c.text) : ParsePasvPort(c.text), Error);
    }
  }
}

// Passive mode and explicit TLS per step: the exact commands, "[TLS]" where
// encryption starts on each connection, and where the data connection goes.
TEST_F(FtpStepTest, PassiveModeAndExplicitTlsConversations) {
  const std::string login = "user joe\r\npass s3cret\r\n";
  struct Case {
    const char* name;
    int passive, secure;
    std::string replies;  // after the greeting; "^" where the TLS handshake comes
    std::string written;
    std::vector<std::string> connects;
    std::string data_written;
  } cases[] = {
      {"epsv", 1, 0,
       "331 p\r\n230 in\r\n200 t\r\n215 UNIX\r\n250 ok\r\n229 ok (|||50123|)\r\n150 go\r\n226 done\r\n",
       login + "type I\r\nsyst\r\nCWD /pub/mydir\r\nEPSV\r\nSTOR ip.html\r\nQuit\r\n",
       {"ftp.example:2121/30000", std::string(testing::kServerAddress) + ":50123/30000"},
       "IP 10.0.0.7, 10.0.0.7!10.0.0.7"},
      // The address PASV names is not where the data goes: the control peer is.
      {"pasv after a refused epsv", 1, 0,
       "331 p\r\n230 in\r\n200 t\r\n215 UNIX\r\n250 ok\r\n500 what\r\n"
       "227 Entering Passive Mode (203,0,113,9,4,1)\r\n150 go\r\n226 done\r\n",
       login + "type I\r\nsyst\r\nCWD /pub/mydir\r\nEPSV\r\nPASV\r\nSTOR ip.html\r\nQuit\r\n",
       {"ftp.example:2121/30000", std::string(testing::kServerAddress) + ":1025/30000"},
       "IP 10.0.0.7, 10.0.0.7!10.0.0.7"},
      {"ftps passive", 1, 1,
       "234 go\r\n^331 p\r\n230 in\r\n200 pbsz\r\n200 prot\r\n200 t\r\n215 UNIX\r\n250 ok\r\n"
       "229 ok (|||50123|)\r\n150 go\r\n226 done\r\n",
       "AUTH TLS\r\n[TLS]" + login + "PBSZ 0\r\nPROT P\r\ntype I\r\nsyst\r\nCWD /pub/mydir\r\nEPSV\r\n"
           "STOR ip.html\r\nQuit\r\n",
       {"ftp.example:2121/30000", std::string(testing::kServerAddress) + ":50123/30000"},
       "[TLS]IP 10.0.0.7, 10.0.0.7!10.0.0.7"},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    FakeNetwork n;
    const std::string all = "220 ftp ready\r\n" + c.replies;
    const size_t split = std::min(all.find('^'), all.size());
    auto control = n.AddServer(
        {Data(all.substr(0, split)), Data(all.substr(std::min(split + 1, all.size())))});
    auto data = n.AddServer({});
    MemoryFiles memory;
    Notif s = step;
    s.FTPNotifr.FTPPassive = c.passive;
    s.FTPNotifr.FTPSecure = c.secure;
    UploadPageStep(s, "10.0.0.7", {n, memory, "C:\\Prog\\", "C:\\Temp\\", n.VirtualClock()});
    EXPECT_EQ(control->written, c.written);
    EXPECT_EQ(n.connects, c.connects);
    EXPECT_EQ(data->written, c.data_written);
    EXPECT_TRUE(data->closed);
    EXPECT_TRUE(n.listens.empty());
    EXPECT_EQ(n.secured, std::vector<std::string>(c.secure ? 2 : 0, "ftp.example"));
  }
}

TEST_F(FtpStepTest, ExplicitTlsRefusedNeverLogsInInPlainText) {
  step.FTPNotifr.FTPSecure = 1;
  auto control = net.AddServer({Data("220 ftp ready\r\n530 no TLS here\r\n")});
  EXPECT_EQ(RunExpectingError(), "no TLS here");
  EXPECT_EQ(control->written, "AUTH TLS\r\nQuit\r\n");
}

}  // namespace
}  // namespace tarnwick::net
