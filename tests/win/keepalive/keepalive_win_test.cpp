// The keep-alive tick on the real network under Wine: its echo requests as a
// listener outside the program sees them, through the raw socket and through
// the system's ICMP helper, and its page fetch directly and through tinyproxy
// with Basic authorization. The peers are Linux programs (loopback_peers.py).
#include <gtest/gtest.h>
#include <windows.h>
#include <wincrypt.h>
#include <winsock2.h>

#include <fstream>
#include <iterator>
#include <random>
#include <sstream>
#include <string>
#include <vector>

#include "app/message_loop_win32.h"
#include "keepalive/keepalive_engine.h"
#include "net/http_client.h"
#include "net/icmp_fallback_win32.h"
#include "net/icmp_socket_win32.h"
#include "net/transport_win32.h"
#include "unit/engine_fakes.h"
#include "win/support/linux_peer.h"

namespace tarnwick {
namespace {

// Message processing as the program does it; the tick's five-second pause is skipped.
class QuickPump : public PumpingSleeper {
 public:
  void Sleep(int) override {}
  void ProcessMessages() override { tarnwick::ProcessMessages(); }
  bool Quitting() const override { return false; }
};

class SilentView : public KeepAliveView {
 public:
  bool NotConnectedShown() const override { return false; }
  void SetStatusText(const char*) override {}
};

int CountLines(const std::string& text, const std::string& part) {
  std::istringstream in(text);
  int n = 0;
  for (std::string line; std::getline(in, line);) n += line.find(part) != std::string::npos;
  return n;
}

bool PumpUntil(const std::function<bool()>& done, int timeout_ms) {
  const ULONGLONG deadline = GetTickCount64() + timeout_ms;
  while (!done()) {
    if (GetTickCount64() >= deadline) return false;
    tarnwick::ProcessMessages();
    Sleep(20);
  }
  return true;
}

// A raw socket the system refuses, as for a user without administrator rights.
class RefusedRawSocket : public net::IcmpNetwork {
 public:
  explicit RefusedRawSocket(net::IcmpNetwork& real) : real_(real) {}
  std::unique_ptr<net::IcmpSocket> OpenRawSocket(int) override {
    throw net::SocketError(WSAEACCES, "An attempt was made to access a socket in a way forbidden");
  }
  std::string ResolveHost(const std::string& name) override { return real_.ResolveHost(name); }
  uint32_t TickCount() override { return real_.TickCount(); }
  uint32_t ProcessId() override { return real_.ProcessId(); }

 private:
  net::IcmpNetwork& real_;
};

struct Rig {
  explicit Rig(net::IcmpNetwork& raw) : icmp_network(raw, [] { tarnwick::ProcessMessages(); }) {}
  Settings settings;
  testing::VirtualTimer timer;
  SilentView view;
  QuickPump pump;
  net::IcmpFallbackNetwork icmp_network;
  net::IcmpClient icmp{icmp_network};
  net::WinsockNetwork web{[] { tarnwick::ProcessMessages(); }};
  net::HttpClient http{web};
  KeepAliveEngine engine{KeepAliveDeps{settings, timer, view, icmp, http, pump}};
};

// An address of its own in 127/8, so that pings of other tests on this machine
// are not counted.
std::string LoopbackAddress() {
  std::random_device random;
  return "127." + std::to_string(1 + random() % 254) + "." + std::to_string(random() % 256) + "." +
         std::to_string(1 + random() % 254);
}

TEST(KeepAliveTick, PingsThreeTimesThroughTheRawSocketOrTheSystemHelper) {
  struct Row {
    const char* name;
    bool refuse_raw_socket;
    int helper_exchanges;
  } rows[] = {{"raw socket", false, 0}, {"raw socket refused: the system helper", true, 3}};
  for (const Row& r : rows) {
    SCOPED_TRACE(r.name);
    const std::string address = LoopbackAddress();
    testing::LinuxPeer listener(KEEPALIVE_PEERS, "icmp", address);
    ASSERT_TRUE(listener.ready()) << "the echo listener did not start";
    net::WinsockIcmpNetwork raw([] { tarnwick::ProcessMessages(); });
    if (!r.refuse_raw_socket) {
      try {
        raw.OpenRawSocket(net::kIcmpTimeToLive);
      } catch (const net::SocketError& e) {
        GTEST_SKIP() << "raw sockets need root under Wine: " << e.what();
      }
    }
    RefusedRawSocket refused(raw);
    Rig rig(r.refuse_raw_socket ? static_cast<net::IcmpNetwork&>(refused) : raw);
    rig.settings.kaMethod = 1;
    rig.settings.kaPingHost = address;
    rig.settings.kaPingInterval = 1;
    rig.engine.Start();

    const ULONGLONG start = GetTickCount64();
    rig.engine.Tick();
    // Three answered exchanges, not three time-outs of 10 s.
    EXPECT_LT(GetTickCount64() - start, 5000u);
    EXPECT_EQ(rig.icmp_network.HelperExchanges(), r.helper_exchanges);
    EXPECT_TRUE(
        PumpUntil([&] { return CountLines(listener.Read("echoes"), "echo-request") >= 3; }, 3000));
    Sleep(300);
    EXPECT_EQ(CountLines(listener.Read("echoes"), "echo-request bytes=52"), 3)
        << listener.Read("echoes");
    EXPECT_TRUE(rig.timer.enabled);
  }
}

TEST(KeepAliveTick, FetchesThePageDirectlyAndThroughTinyproxyWithBasicAuthorization) {
  testing::LinuxPeer peers(KEEPALIVE_PEERS, "web");
  ASSERT_TRUE(peers.ready()) << "the web server or tinyproxy did not start";
  int web_port = 0, proxy_port = 0;
  std::istringstream(peers.Read("ready")) >> web_port >> proxy_port;
  ASSERT_GT(web_port, 0);
  ASSERT_GT(proxy_port, 0);

  struct Row {
    const char* name;
    const char* proxy;
    const char* user;
    const char* password;
    const char* via;  // what the web server sees; null: the request never reaches it
  } rows[] = {
      {"directly", "", "", "", "via=-"},
      {"through the proxy", "127.0.0.1", "joe", "s3cret", "tinyproxy"},
      {"through the proxy, wrong password", "127.0.0.1", "joe", "guess", nullptr},
  };
  net::WinsockIcmpNetwork raw([] { tarnwick::ProcessMessages(); });
  Rig rig(raw);
  int n = 0;
  for (const Row& r : rows) {
    SCOPED_TRACE(r.name);
    const std::string path = "/page" + std::to_string(++n) + ".html";
    rig.settings.kaMethod = 2;
    rig.settings.kaWebInterval = 1;
    rig.settings.kaWebSite = "http://127.0.0.1:" + std::to_string(web_port) + path;
    rig.settings.proxyname = r.proxy;
    rig.settings.proxyport = proxy_port;
    rig.settings.proxyuser = r.user;
    rig.settings.proxypass = r.password;
    rig.engine.Start();
    rig.engine.Tick();
    EXPECT_TRUE(rig.timer.enabled);
    const std::string requests = peers.Read("requests");
    std::vector<std::string> seen;
    std::istringstream lines(requests);
    for (std::string line; std::getline(lines, line);)
      if (line.rfind(path + " ", 0) == 0) seen.push_back(line);
    if (r.via) {
      ASSERT_EQ(seen.size(), 1u) << requests;
      EXPECT_NE(seen[0].find(r.via), std::string::npos) << seen[0];
    } else {
      EXPECT_TRUE(seen.empty()) << requests;
    }
  }
}

// Adds the peer's authority to the machine Root store of the test prefix.
bool TrustRoot(const std::string& der_path) {
  std::ifstream in(der_path, std::ios::binary);
  const std::string der((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
  HCERTSTORE store =
      CertOpenStore(CERT_STORE_PROV_SYSTEM_A, 0, 0, CERT_SYSTEM_STORE_LOCAL_MACHINE, "Root");
  if (!store || der.empty()) return false;
  const BOOL added = CertAddEncodedCertificateToStore(
      store, X509_ASN_ENCODING, reinterpret_cast<const BYTE*>(der.data()),
      static_cast<DWORD>(der.size()), CERT_STORE_ADD_REPLACE_EXISTING, nullptr);
  CertCloseStore(store, 0);
  return added;
}

TEST(KeepAliveTick, FetchesAnHttpsPageDirectlyAndThroughTheProxysTunnel) {
  testing::LinuxPeer peers(KEEPALIVE_PEERS, "web-tls");
  ASSERT_TRUE(peers.ready()) << "the HTTPS server or tinyproxy did not start";
  ASSERT_TRUE(TrustRoot(peers.Path("root.der")));
  int web_port = 0, proxy_port = 0;
  std::istringstream(peers.Read("ready")) >> web_port >> proxy_port;
  ASSERT_GT(web_port, 0);

  struct Row {
    const char* name;
    const char* proxy;
    const char* password;
    bool reaches;
  } rows[] = {
      {"directly", "", "", true},
      {"through the tunnel", "127.0.0.1", "s3cret", true},
      {"tunnel refused: wrong password", "127.0.0.1", "guess", false},
  };
  net::WinsockIcmpNetwork raw([] { tarnwick::ProcessMessages(); });
  Rig rig(raw);
  int n = 0;
  for (const Row& r : rows) {
    SCOPED_TRACE(r.name);
    const std::string path = "/secure" + std::to_string(++n) + ".html";
    rig.settings.kaMethod = 2;
    rig.settings.kaWebInterval = 1;
    rig.settings.kaWebSite = "https://localhost:" + std::to_string(web_port) + path;
    rig.settings.proxyname = r.proxy;
    rig.settings.proxyport = proxy_port;
    rig.settings.proxyuser = "joe";
    rig.settings.proxypass = r.password;
    rig.engine.Start();
    rig.engine.Tick();
    EXPECT_TRUE(rig.timer.enabled);
    // The page's own request line, decrypted by the server: origin-form, no proxy in it.
    const std::string requests = peers.Read("requests");
    EXPECT_EQ(requests.find(path + " via=-") != std::string::npos, r.reaches) << requests;
  }
  // What the server saw of the fetches, in plain text, is the page only.
  EXPECT_EQ(CountLines(peers.Read("requests"), "/secure"), 2) << peers.Read("requests");
}

}  // namespace
}  // namespace tarnwick
