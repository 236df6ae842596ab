// The web fetch against real servers on loopback: Python's http.server for the
// direct fetch and tinyproxy with Basic authentication for the proxy fetch. The
// test starts each server on a free port and stops it again.
#include <arpa/inet.h>
#include <gtest/gtest.h>
#include <netinet/in.h>
#include <signal.h>
#include <spawn.h>
#include <sys/socket.h>
#include <sys/wait.h>
#include <unistd.h>

#include <chrono>
#include <filesystem>
#include <fstream>
#include <thread>
#include <vector>

#include "net/http_client.h"
#include "net/transport_posix.h"

extern char** environ;

namespace tarnwick::net {
namespace {

namespace fs = std::filesystem;

uint16_t FreePort() {
  int s = socket(AF_INET, SOCK_STREAM, 0);
  sockaddr_in addr{};
  addr.sin_family = AF_INET;
  addr.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
  socklen_t len = sizeof addr;
  bind(s, reinterpret_cast<sockaddr*>(&addr), sizeof addr);
  getsockname(s, reinterpret_cast<sockaddr*>(&addr), &len);
  close(s);
  return ntohs(addr.sin_port);
}

bool Listening(uint16_t port) {
  int s = socket(AF_INET, SOCK_STREAM, 0);
  sockaddr_in addr{};
  addr.sin_family = AF_INET;
  addr.sin_port = htons(port);
  addr.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
  bool ok = connect(s, reinterpret_cast<sockaddr*>(&addr), sizeof addr) == 0;
  close(s);
  return ok;
}

// A server process for the life of the object.
class Server {
 public:
  Server(std::vector<std::string> argv, uint16_t port) {
    std::vector<char*> args;
    for (auto& a : argv) args.push_back(a.data());
    args.push_back(nullptr);
    if (posix_spawn(&pid_, args[0], nullptr, nullptr, args.data(), environ) != 0) pid_ = 0;
    // Real time here: the server is a separate process. Bounded to 10 s.
    for (int i = 0; pid_ && i < 200 && !Listening(port); ++i)
      std::this_thread::sleep_for(std::chrono::milliseconds(50));
    ready_ = pid_ && Listening(port);
  }
  ~Server() {
    if (!pid_) return;
    kill(pid_, SIGTERM);
    waitpid(pid_, nullptr, 0);
  }
  bool ready() const { return ready_; }

 private:
  pid_t pid_ = 0;
  bool ready_ = false;
};

class HttpInterop : public ::testing::Test {
 protected:
  void SetUp() override {
    if (access("/usr/bin/python3", X_OK) != 0) GTEST_SKIP() << "no /usr/bin/python3";
    dir_ = fs::temp_directory_path() / ("tarnwick-http-" + std::to_string(getpid()));
    fs::create_directories(dir_ / "sub");
    std::ofstream(dir_ / "page.html") << page_;
    web_port_ = FreePort();
    web_ = std::make_unique<Server>(
        std::vector<std::string>{"/usr/bin/python3", "-m", "http.server", std::to_string(web_port_),
                                 "--bind", "127.0.0.1", "--directory", dir_.string()},
        web_port_);
    ASSERT_TRUE(web_->ready()) << "http.server did not start";
  }
  void TearDown() override {
    proxy_.reset();
    web_.reset();
    if (!dir_.empty()) fs::remove_all(dir_);
  }

  void StartProxy() {
    const char* tinyproxy = "/usr/bin/tinyproxy";
    if (access(tinyproxy, X_OK) != 0) GTEST_SKIP() << "no tinyproxy";
    proxy_port_ = FreePort();
    fs::path conf = dir_ / "tinyproxy.conf";
    std::ofstream(conf) << "Port " << proxy_port_ << "\nListen 127.0.0.1\nTimeout 30\n"
                        << "MaxClients 10\nAllow 127.0.0.1\nBasicAuth joe s3cret\n"
                        << "LogLevel Error\n";
    proxy_ = std::make_unique<Server>(
        std::vector<std::string>{tinyproxy, "-d", "-c", conf.string()}, proxy_port_);
    ASSERT_TRUE(proxy_->ready()) << "tinyproxy did not start";
  }

  std::string Url(const std::string& path) {
    return "http://127.0.0.1:" + std::to_string(web_port_) + path;
  }

  const std::string page_ = "<html><body>keep alive</body></html>\n";
  fs::path dir_;
  uint16_t web_port_ = 0, proxy_port_ = 0;
  std::unique_ptr<Server> web_, proxy_;
  PosixNetwork network_;
  HttpClient client_{network_};
};

TEST_F(HttpInterop, DirectFetch) {
  EXPECT_EQ(client_.Get(Url("/page.html")), page_);
  EXPECT_FALSE(client_.Connected());  // a 1.0 reply ends the connection
  EXPECT_EQ(client_.Get(Url("/page.html#top")), page_);

  try {
    client_.Get(Url("/missing.html"));
    FAIL() << "404 counted as success";
  } catch (const HttpProtocolError& e) {
    EXPECT_EQ(e.code(), 404);
  }
  try {
    client_.Get(Url("/sub"));  // the server redirects to "/sub/"
    FAIL() << "redirect counted as success";
  } catch (const HttpProtocolError& e) {
    EXPECT_EQ(e.code(), 301);
  }
}

TEST_F(HttpInterop, ProxyFetchWithBasicAuthentication) {
  StartProxy();
  if (IsSkipped()) return;
  client_.proxy = {"127.0.0.1", proxy_port_, "joe", "s3cret"};
  EXPECT_EQ(client_.Get(Url("/page.html")), page_);
  EXPECT_EQ(client_.Get(Url("/page.html")), page_);

  for (const char* password : {"wrong", ""}) {
    client_.Disconnect();
    client_.proxy.password = password;
    try {
      client_.Get(Url("/page.html"));
      FAIL() << "refused credentials counted as success";
    } catch (const HttpProtocolError& e) {
      // tinyproxy refuses with 401 rather than 407.
      EXPECT_TRUE(e.code() == 401 || e.code() == 407) << e.what();
    }
  }
  client_.proxy.user.clear();
  EXPECT_THROW(client_.Get(Url("/page.html")), HttpProtocolError);
}

TEST_F(HttpInterop, NothingListening) {
  uint16_t port = FreePort();
  EXPECT_THROW(client_.Get("http://127.0.0.1:" + std::to_string(port) + "/"), SocketError);
}

}  // namespace
}  // namespace tarnwick::net
