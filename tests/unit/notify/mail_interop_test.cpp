// The SMTP and FTP clients over the POSIX transport against real servers from
// the distribution (aiosmtpd, pyftpdlib), started on free loopback ports.
#include <fcntl.h>
#include <gtest/gtest.h>
#include <poll.h>
#include <signal.h>
#include <spawn.h>
#include <sys/wait.h>
#include <unistd.h>

#include <filesystem>
#include <fstream>
#include <sstream>

#include "notify/ftp_step.h"
#include "notify/page_template.h"
#include "net/smtp_client.h"
#include "notify/smtp_step.h"
#include "net/transport_posix.h"
#include "unit/net/mail_fakes.h"

extern char** environ;

namespace tarnwick::net {
namespace {

namespace fs = std::filesystem;

std::string ReadAll(const fs::path& path) {
  std::ifstream in(path, std::ios::binary);
  std::stringstream text;
  text << in.rdbuf();
  return text.str();
}

class TempDir {
 public:
  TempDir() {
    std::string pattern = (fs::temp_directory_path() / "tarnwick-net-XXXXXX").string();
    path_ = ::mkdtemp(pattern.data());
  }
  ~TempDir() {
    std::error_code ignored;
    fs::remove_all(path_, ignored);
  }
  const fs::path& path() const { return path_; }

 private:
  fs::path path_;
};

// A server script run with /usr/bin/python3; it prints its port first.
class ServerProcess {
 public:
  ServerProcess(const std::string& script, const std::string& arg) {
    int out[2];
    if (::pipe(out) != 0) return;
    posix_spawn_file_actions_t actions;
    posix_spawn_file_actions_init(&actions);
    posix_spawn_file_actions_adddup2(&actions, out[1], 1);
    posix_spawn_file_actions_addclose(&actions, out[0]);
    const std::string path = std::string(MAIL_FTP_TEST_DIR) + "/" + script;
    const char* argv[] = {"/usr/bin/python3", path.c_str(), arg.c_str(), nullptr};
    if (posix_spawn(&pid_, argv[0], &actions, nullptr, const_cast<char**>(argv), environ) != 0) {
      pid_ = -1;
    }
    posix_spawn_file_actions_destroy(&actions);
    ::close(out[1]);
    // The first line is the port; a server that cannot start says nothing.
    std::string line;
    pollfd p{out[0], POLLIN, 0};
    while (line.find('\n') == std::string::npos && ::poll(&p, 1, 20000) > 0) {
      char c[64];
      const ssize_t n = ::read(out[0], c, sizeof c);
      if (n <= 0) break;
      line.append(c, static_cast<size_t>(n));
    }
    ::close(out[0]);
    port_ = static_cast<uint16_t>(std::atoi(line.c_str()));
  }
  ~ServerProcess() {
    if (pid_ > 0) {
      ::kill(pid_, SIGTERM);
      ::waitpid(pid_, nullptr, 0);
    }
  }
  uint16_t port() const { return port_; }

 private:
  pid_t pid_ = -1;
  uint16_t port_ = 0;
};

// The SMTP client always dials port 25; the sink listens elsewhere.
class PortRedirect : public Network {
 public:
  PortRedirect(Network& inner, uint16_t from, uint16_t to) : inner_(inner), from_(from), to_(to) {}
  std::unique_ptr<Stream> Connect(const std::string& host, uint16_t port, int timeout) override {
    return inner_.Connect(host, port == from_ ? to_ : port, timeout);
  }
  std::unique_ptr<Listener> Listen(const std::string& address) override {
    return inner_.Listen(address);
  }

 private:
  Network& inner_;
  uint16_t from_, to_;
};

TEST(MailInterop, SinkReceivesTheExactMessage) {
  TempDir out;
  ServerProcess sink("smtp_sink.py", out.path().string());
  ASSERT_NE(sink.port(), 0) << "aiosmtpd did not start";
  PosixNetwork posix;
  PortRedirect net(posix, kSmtpPort, sink.port());
  Settings settings;
  settings.SMTPServer = "127.0.0.1";
  Notif step;
  step.emailNotifr.eFrom = "ip@home.test";
  step.emailNotifr.ETo = "\"Smith, Bob\" <bob@mx.test>, J\xF6rg <joerg@mx.test>, pager@gw.test,";
  step.emailNotifr.esubject = "New IP Address: <IPADDRESS>";
  step.emailNotifr.emessage = "Your new IP Address is: <IPADDRESS>\r\n.\r\n..two\r\nend";
  testing::BoxRecorder boxes;
  MailDeps deps{net, PosixNetwork::LocalHostName(), 1252,
                [] { return MailTime{2025, 3, 4, 9, 5, 7, 60}; }};
  SendMailStep(settings, step, "10.1.2.3", deps, {0, 0});
  for (const auto& box : boxes.boxes) ADD_FAILURE() << box.text;

  EXPECT_EQ(ReadAll(out.path() / "envelope.txt"),
            "ip@home.test\nbob@mx.test\njoerg@mx.test\npager@gw.test\n");
  EXPECT_EQ(ReadAll(out.path() / "message.eml"),
            "From: ip@home.test\r\n"
            "Subject: New IP Address: 10.1.2.3\r\n"
            "To: \"Smith, Bob\" <bob@mx.test>, =?windows-1252?B?SvZyZw==?= <joerg@mx.test>, "
            "pager@gw.test\r\n"
            "Date: Tue, 4 Mar 2025 09:05:07 +0100\r\n"
            "X-Priority: 3\r\n"
            "\r\n"
            "Your new IP Address is: 10.1.2.3\r\n"
            ".\r\n"
            "..two\r\n"
            "end\r\n");
}

TEST(MailInterop, RefusedConnectionShowsTheSocketError) {
  // A port nobody listens on: take a free one from the system and close it.
  PosixNetwork posix;
  const uint16_t free_port = posix.Listen("127.0.0.1")->Port();
  PortRedirect net(posix, kSmtpPort, free_port);
  Settings settings;
  settings.SMTPServer = "127.0.0.1";
  Notif step;
  step.emailNotifr.ETo = "a@b.test";
  testing::BoxRecorder boxes;
  SendMailStep(settings, step, "", {net, "pc", 1252, [] { return MailTime{}; }}, {});
  ASSERT_EQ(boxes.boxes.size(), 1u);
  EXPECT_TRUE(boxes.boxes[0].text.starts_with("Error sending message: Socket Error # "))
      << boxes.boxes[0].text;
}

TEST(FtpInterop, ServerReceivesThePageInActiveMode) {
  TempDir root, program;
  fs::create_directories(root.path() / "pub" / "mydir");
  ServerProcess server("ftp_server.py", root.path().string());
  ASSERT_NE(server.port(), 0) << "pyftpdlib did not start";
  PosixNetwork net;
  DiskPageFiles disk;
  const FtpDeps deps{net, disk, program.path().string() + "/", ""};
  Notif step;
  step.FTPNotifr = {"127.0.0.1", "/pub/mydir/ip.html", std::string(kDefaultPageTemplate), server.port(), "joe",
                    "s3cret"};
  UploadPageStep(step, "10.1.2.3", deps);

  std::string expected(kDefaultPageTemplate);
  expected.replace(expected.find("<IPADDRESS>"), 11, "10.1.2.3");
  EXPECT_EQ(ReadAll(root.path() / "pub" / "mydir" / "ip.html"), expected);
  EXPECT_FALSE(fs::exists(program.path() / kTempPageName));

  // A directory path stores under a name the server picks; a wrong password fails.
  step.FTPNotifr.FTPPath = "/pub/";
  step.FTPNotifr.FTPHTML = "<IPADDRESS>";
  UploadPageStep(step, "10.9.9.9", deps);
  int unique = 0;
  for (const auto& entry : fs::directory_iterator(root.path() / "pub")) {
    if (entry.is_regular_file() && ReadAll(entry.path()) == "10.9.9.9") ++unique;
  }
  EXPECT_EQ(unique, 1);
  step.FTPNotifr.FTPPass = "wrong";
  EXPECT_THROW(UploadPageStep(step, "", deps), Error);
}

TEST(FtpInterop, UnwritableProgramFolderUsesTheTemporaryFolder) {
  TempDir root, temp;
  ServerProcess server("ftp_server.py", root.path().string());
  ASSERT_NE(server.port(), 0) << "pyftpdlib did not start";
  PosixNetwork net;
  DiskPageFiles disk;
  const FtpDeps deps{net, disk, (root.path() / "missing" / "folder").string() + "/",
                     temp.path().string() + "/"};
  Notif step;
  step.FTPNotifr = {"127.0.0.1", "ip.html", "<b><IPADDRESS></b>", server.port(), "joe", "s3cret"};
  UploadPageStep(step, "10.1.2.3", deps);
  EXPECT_EQ(ReadAll(root.path() / "ip.html"), "<b>10.1.2.3</b>");
  EXPECT_TRUE(fs::is_empty(temp.path()));
}

TEST(TransportPosix, ReadTimeOutAndClosedPeerAreReported) {
  PosixNetwork net;
  auto listener = net.Listen("127.0.0.1");
  auto client = net.Connect("127.0.0.1", listener->Port(), 2000);
  auto server = listener->Accept(2000);
  char buffer[16];
  EXPECT_THROW(client->Read(buffer, sizeof buffer, 50), SocketError);
  server->Write("hi");
  EXPECT_EQ(client->Read(buffer, sizeof buffer, 2000), 2u);
  server->Close();
  EXPECT_EQ(client->Read(buffer, sizeof buffer, 2000), 0u);
  EXPECT_EQ(client->LocalAddress(), "127.0.0.1");
  EXPECT_THROW(listener->Accept(50), SocketError);
}

}  // namespace
}  // namespace tarnwick::net
