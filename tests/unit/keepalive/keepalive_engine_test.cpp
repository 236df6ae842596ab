// The keep-alive tick in virtual time: what it sends, how long it takes, what
// the status panel shows and when its timer runs.
#include "keepalive/keepalive_engine.h"

#include <gtest/gtest.h>

#include <cstring>
#include <string>
#include <vector>

#include "support/activity_recorder.h"
#include "unit/engine_fakes.h"
#include "unit/net/http_fakes.h"
#include "unit/net/icmp_fakes.h"

namespace tarnwick {
namespace {

using testing::VirtualPump;
using testing::VirtualTime;
using testing::VirtualTimer;

enum class Peer { kAnswers, kSilent, kRefusesSocket, kGarbles };

// A host on a raw socket: answers within 1 ms, never, or with a datagram the
// client rejects; or the socket itself is refused (no administrator rights).
class VirtualIcmpNetwork : public net::IcmpNetwork {
 public:
  explicit VirtualIcmpNetwork(VirtualTime& time) : time_(time) {}

  std::unique_ptr<net::IcmpSocket> OpenRawSocket(int) override {
    if (peer == Peer::kRefusesSocket) throw net::SocketError(10013, "Permission denied");
    return std::make_unique<Socket>(*this);
  }
  std::string ResolveHost(const std::string& name) override {
    throw net::SocketError(11001, "Host not found: " + name);
  }
  uint32_t TickCount() override { return static_cast<uint32_t>(time_.now_ms); }
  uint32_t ProcessId() override { return 1; }

  void Reset(Peer p) {
    peer = p;
    sent_to.clear();
    timeouts.clear();
  }

  Peer peer = Peer::kAnswers;
  std::vector<std::string> sent_to;
  std::vector<int> timeouts;

 private:
  class Socket : public net::IcmpSocket {
   public:
    explicit Socket(VirtualIcmpNetwork& n) : n_(n) {}
    void SendTo(const std::string& address, const uint8_t*, size_t) override {
      n_.sent_to.push_back(address);
    }
    size_t Receive(uint8_t* buffer, size_t size, int timeout_ms) override {
      n_.timeouts.push_back(timeout_ms);
      if (n_.peer == Peer::kSilent) {
        n_.time_.now_ms += timeout_ms;
        return 0;
      }
      n_.time_.now_ms += 1;
      const uint8_t type = n_.peer == Peer::kGarbles ? 5 : net::kIcmpEchoReply;
      auto d = net::testing::Datagram(type, 0, 0);
      std::memcpy(buffer, d.data(), std::min(size, d.size()));
      return d.size();
    }

   private:
    VirtualIcmpNetwork& n_;
  };
  VirtualTime& time_;
};

class FakeView : public KeepAliveView {
 public:
  bool NotConnectedShown() const override { return not_connected; }
  void SetStatusText(const char* text) override { texts.emplace_back(text); }
  bool not_connected = false;
  std::vector<std::string> texts;
};

class KeepAliveTest : public ::testing::Test {
 protected:
  KeepAliveTest() {
    settings.kaPingHost = "127.0.0.1";
    settings.kaPingInterval = 1;
    settings.kaWebSite = "http://www.example.org/";
    settings.kaWebInterval = 2;
    pump.on_pump = [this] { timer_on_during_tick |= timer.enabled; };
  }

  // Arms the timer as the start point would, then runs one tick.
  void ArmAndTick(uint8_t method) {
    settings.kaMethod = method;
    engine.Start();
    ASSERT_TRUE(timer.enabled);
    starts_before = timer.starts;
    engine.Tick();
  }

  Settings settings;
  VirtualTimer timer;
  FakeView view;
  VirtualTime time;
  VirtualPump pump{time};
  VirtualIcmpNetwork icmp_network{time};
  net::IcmpClient icmp{icmp_network};
  net::testing::ScriptedNetwork web;
  net::HttpClient http{web, web.clock.AsClock()};
  KeepAliveEngine engine{KeepAliveDeps{settings, timer, view, icmp, http, pump}};
  bool timer_on_during_tick = false;
  int starts_before = 0;
};

TEST(KeepAliveInterval, MinutesOfTheMethodTimesSixtyThousandOrOff) {
  struct Row {
    uint8_t method;
    int32_t ping, web;
    std::optional<unsigned> ms;
  } rows[] = {
      {1, 1, 9, 60000u},
      {1, 60, 9, 3600000u},
      {2, 9, 5, 300000u},
      {7, 9, 3, 180000u},  // any other non-zero method takes the web interval
      {0, 5, 5, std::nullopt},
      {1, 0, 5, std::nullopt},
      {2, 5, -3, std::nullopt},
      {1, 1000000, 5, kMaxTimerIntervalMs},  // no overflow into a short interval
  };
  for (const Row& r : rows) {
    Settings s;
    s.kaMethod = r.method;
    s.kaPingInterval = r.ping;
    s.kaWebInterval = r.web;
    EXPECT_EQ(KeepAliveIntervalMs(s), r.ms) << int(r.method) << " " << r.ping << " " << r.web;
  }
}

TEST_F(KeepAliveTest, StartKeepsARunningCountAndRestartsOnlyForANewInterval) {
  struct Row {
    const char* name;
    bool running;
    unsigned interval;
    uint8_t method;
    bool on_after;
    unsigned interval_after;
    bool restarted;
  } rows[] = {
      {"off, ping every minute", false, 0, 1, true, 60000, true},
      {"running with the same interval", true, 60000, 1, true, 60000, false},
      {"running, the web every two minutes", true, 60000, 2, true, 120000, true},
      {"running, method 0", true, 60000, 0, false, 60000, false},
  };
  for (const Row& r : rows) {
    timer = VirtualTimer{};
    timer.interval = r.interval;
    timer.enabled = r.running;
    settings.kaMethod = r.method;
    engine.Start();
    EXPECT_EQ(timer.enabled, r.on_after) << r.name;
    EXPECT_EQ(timer.interval, r.interval_after) << r.name;
    EXPECT_EQ(timer.starts > 0, r.restarted) << r.name;
  }
}

TEST_F(KeepAliveTest, PingTickSendsThreeEchoesPausesAndRearmsWhateverTheHostDoes) {
  struct Row {
    const char* name;
    Peer peer;
    size_t sent;
    int64_t duration_ms;
    int pumps;  // after each completed exchange, then 50 in the pause
  } rows[] = {
      {"answers", Peer::kAnswers, 3, 3 + 5000, 3 + 50},
      {"never answers", Peer::kSilent, 3, 3 * 10000 + 5000, 3 + 50},
      {"strange replies", Peer::kGarbles, 3, 3 + 5000, 50},
      {"raw socket refused", Peer::kRefusesSocket, 0, 5000, 50},
  };
  for (const Row& r : rows) {
    SCOPED_TRACE(r.name);
    icmp_network.Reset(r.peer);
    view.texts.clear();
    pump.pumps = 0;
    timer_on_during_tick = false;
    const int64_t start = time.now_ms;

    ArmAndTick(1);
    EXPECT_EQ(icmp_network.sent_to, std::vector<std::string>(r.sent, "127.0.0.1"));
    if (r.peer != Peer::kRefusesSocket) {
      EXPECT_EQ(icmp_network.timeouts, std::vector<int>(3, kKeepAlivePingTimeoutMs));
    }
    EXPECT_EQ(time.now_ms - start, r.duration_ms);
    EXPECT_EQ(pump.pumps, r.pumps);
    EXPECT_EQ(view.texts, (std::vector<std::string>{kPingingText, ""}));
    EXPECT_FALSE(timer_on_during_tick);
    EXPECT_TRUE(timer.enabled);
    EXPECT_EQ(timer.interval, 60000u);
    EXPECT_GT(timer.starts, starts_before);  // the next tick is a full interval away
  }
}

TEST_F(KeepAliveTest, WebTickFetchesThePageDirectlyOrThroughTheProxyAndSwallowsFailures) {
  const std::string ok = "HTTP/1.1 200 OK\r\nContent-Length: 2\r\nConnection: close\r\n\r\nhi";
  struct Row {
    const char* name;
    std::string proxy, user, reply;
    std::string connect_host;
    std::vector<std::string> request_lines;
  } rows[] = {
      {"direct", "", "", ok, "www.example.org", {"GET / HTTP/1.1\r\n"}},
      {"through the proxy with its user",
       "gate",
       "joe",
       ok,
       "gate",
       {"GET http://www.example.org/ HTTP/1.1\r\n",
        "Proxy-Authorization: Basic am9lOnMzY3JldA==\r\n"}},
      {"a redirect",
       "",
       "",
       "HTTP/1.1 302 Found\r\nLocation: /x\r\nContent-Length: 0\r\n\r\n",
       "www.example.org",
       {"GET / HTTP/1.1\r\n"}},
      {"nobody listening", "", "", "", "www.example.org", {}},
  };
  for (const Row& r : rows) {
    SCOPED_TRACE(r.name);
    settings.proxyname = r.proxy;
    settings.proxyport = 3128;
    settings.proxyuser = r.user;
    settings.proxypass = "s3cret";
    std::shared_ptr<net::testing::ServerScript> server;
    if (!r.reply.empty()) {
      server = web.AddServer();
      server->Send(r.reply);
    }
    web.connects.clear();
    view.texts.clear();
    timer_on_during_tick = false;
    const int64_t start = time.now_ms;

    ArmAndTick(2);
    ASSERT_EQ(web.connects.size(), 1u);
    EXPECT_EQ(web.connects[0].host, r.connect_host);
    for (const std::string& line : r.request_lines) {
      EXPECT_NE(server->written.find(line), std::string::npos) << line;
    }
    EXPECT_EQ(view.texts, (std::vector<std::string>{kRetrievingText, kRetrievedText, ""}));
    EXPECT_EQ(time.now_ms - start, 5000);
    EXPECT_FALSE(timer_on_during_tick);
    EXPECT_TRUE(timer.enabled);
    EXPECT_EQ(timer.interval, 120000u);
    http.Disconnect();
  }
}

TEST_F(KeepAliveTest, ALinkShownAsDownGetsNoTrafficAndTheTimerRunsOn) {
  view.not_connected = true;
  ArmAndTick(1);
  EXPECT_TRUE(icmp_network.sent_to.empty());
  EXPECT_TRUE(view.texts.empty());
  EXPECT_TRUE(timer.enabled);
  EXPECT_EQ(timer.starts, starts_before);  // still counting towards the next tick
  EXPECT_EQ(time.now_ms, 0);
}

TEST_F(KeepAliveTest, WhatHappensInsideTheTicksWaits) {
  // A tick that arrives inside the tick's own waits (its timer turned on by the
  // dialog meanwhile) sends nothing more.
  pump.on_pump = [this] {
    timer.SetEnabled(true);
    engine.Tick();
  };
  ArmAndTick(1);
  EXPECT_EQ(icmp_network.sent_to.size(), 3u);

  // The dialog turned the keep-alive off during the tick: it stays off.
  pump.on_pump = [this] {
    settings.kaMethod = 0;
    engine.Start();
  };
  ArmAndTick(1);
  EXPECT_FALSE(timer.enabled);

  // The program ends during the first exchange: nothing more is sent, no pause.
  icmp_network.sent_to.clear();
  pump.on_pump = [this] { pump.quitting = true; };
  const int64_t start = time.now_ms;
  ArmAndTick(1);
  EXPECT_EQ(icmp_network.sent_to.size(), 1u);
  EXPECT_LT(time.now_ms - start, 100);
}

}  // namespace
}  // namespace tarnwick

namespace tarnwick {
namespace {

TEST_F(KeepAliveTest, EachTicksOutcomeIsReportedWithoutTheProxyPassword) {
  testing::ActivityRecorder activity;
  KeepAliveEngine reporting{KeepAliveDeps{settings, timer, view, icmp, http, pump, &activity}};
  settings.kaMethod = 1;
  icmp_network.Reset(Peer::kAnswers);
  reporting.Tick();
  icmp_network.Reset(Peer::kSilent);
  reporting.Tick();
  settings.kaMethod = 2;
  settings.proxyname = "gate";
  settings.proxyuser = "joe";
  settings.proxypass = "s3cret-proxy";
  web.AddServer()->Send("HTTP/1.1 200 OK\r\nContent-Length: 0\r\nConnection: close\r\n\r\n");
  reporting.Tick();
  http.Disconnect();
  web.AddServer()->Send("HTTP/1.1 407 Proxy Authentication Required\r\nContent-Length: 0\r\n\r\n");
  reporting.Tick();
  ASSERT_EQ(activity.events.size(), 4u);
  EXPECT_EQ(activity.events[0], "keep-alive: ping 127.0.0.1: 3 of 3 replied");
  EXPECT_EQ(activity.events[1], "keep-alive-failed: ping 127.0.0.1: 0 of 3 replied");
  EXPECT_EQ(activity.events[2], "keep-alive: fetch http://www.example.org/ through gate: done");
  EXPECT_EQ(activity.events[3].rfind("keep-alive-failed: fetch http://www.example.org/ through "
                                     "gate: HTTP/1.1 407",
                                     0),
            0u)
      << activity.events[3];
  for (const std::string& event : activity.events) {
    EXPECT_EQ(event.find("s3cret"), std::string::npos) << event;
  }
}

}  // namespace
}  // namespace tarnwick
