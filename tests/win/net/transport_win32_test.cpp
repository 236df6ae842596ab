// The Winsock transport on loopback: data both ways, waits that end in a
// time-out error, and the message pump called between wait slices.
#include "net/transport_win32.h"

#include <gtest/gtest.h>
#include <windows.h>

#include <algorithm>
#include <atomic>
#include <chrono>
#include <condition_variable>
#include <cstdio>
#include <functional>
#include <memory>
#include <mutex>
#include <thread>

#include "app/message_loop_win32.h"
#include "net/icmp_socket_win32.h"
#include "net/line_reader.h"
#include "net/sliced_wait.h"

namespace tarnwick::net {
namespace {

// A name server that does not answer within the test's limits: the lookup
// blocks until the test lets go (or fails after 5 s, so that a lookup made on
// this thread fails the test instead of hanging it).
struct SilentNameServer {
  std::mutex mutex;
  std::condition_variable released;
  bool release = false;

  static HostLookup Lookup(const std::shared_ptr<SilentNameServer>& server) {
    return [server](const std::string& host) -> std::string {
      std::unique_lock lock(server->mutex);
      server->released.wait_for(lock, std::chrono::seconds(5), [&] { return server->release; });
      throw SocketError(11001, "No such host: " + host);
    };
  }
  // Lets every lookup end, then waits until their threads have let go of it.
  static bool ReleaseAndWait(const std::shared_ptr<SilentNameServer>& server) {
    {
      std::lock_guard lock(server->mutex);
      server->release = true;
    }
    server->released.notify_all();
    for (int i = 0; i < 500 && server.use_count() > 1; ++i) Sleep(10);
    return server.use_count() == 1;
  }
};

// Another thread sends a message to a window of this thread every 10 ms and
// times each answer, as a user's clicks and the shell's tray calls would wait.
class AnswerTimer {
 public:
  explicit AnswerTimer(HWND window) : thread_([this, window] { Run(window); }) {}
  ~AnswerTimer() { Stop(); }
  // Answers the message in flight while the sender stops.
  void Stop() {
    stop_ = true;
    while (!finished_) {
      MSG msg;
      while (PeekMessageA(&msg, nullptr, 0, 0, PM_REMOVE)) DispatchMessageA(&msg);
      Sleep(1);
    }
    if (thread_.joinable()) thread_.join();
  }
  int answers() const { return answers_; }
  int64_t slowest_ms() const { return slowest_ms_; }

 private:
  void Run(HWND window) {
    while (!stop_) {
      const auto start = std::chrono::steady_clock::now();
      DWORD_PTR result = 0;
      if (SendMessageTimeoutA(window, WM_NULL, 0, 0, SMTO_NORMAL, 5000, &result)) ++answers_;
      const auto took = std::chrono::duration_cast<std::chrono::milliseconds>(
                            std::chrono::steady_clock::now() - start)
                            .count();
      slowest_ms_ = std::max<int64_t>(slowest_ms_, took);
      Sleep(10);
    }
    finished_ = true;
  }
  std::atomic<bool> stop_{false};
  std::atomic<bool> finished_{false};
  std::atomic<int> answers_{0};
  std::atomic<int64_t> slowest_ms_{0};
  std::thread thread_;
};

struct LookupCase {
  const char* name;
  // Looks "unanswered.example" up through the network under test, limit 2 s.
  std::function<void(const HostLookup&)> run;
  int quit_after_ms;  // 0: no quit
  int want_code;
  int64_t min_ms, max_ms;
};

TEST(TransportWin32, AnUnansweredLookupLeavesTheWindowAnsweringAndEndsInTime) {
  const auto pump = [] { ProcessMessages(); };
  const auto quitting = [] { return Quitting(); };
  const auto connect = [&](const HostLookup& lookup) {
    WinsockNetwork net(pump, quitting, lookup);
    net.Connect("unanswered.example", 25, 2000);
  };
  const auto ping_lookup = [&](const HostLookup& lookup) {
    WinsockIcmpNetwork icmp(pump, quitting, lookup, 2000);
    icmp.ResolveHost("unanswered.example");
  };
  const LookupCase cases[] = {
      {"TCP connect, limit reached", connect, 0, WSAETIMEDOUT, 2000, 2400},
      {"ICMP host, limit reached", ping_lookup, 0, WSAETIMEDOUT, 2000, 2400},
      {"TCP connect, program quits", connect, 300, WSAEINTR, 300, 700},
  };
  HWND window = CreateWindowExA(0, "STATIC", "", 0, 0, 0, 0, 0, HWND_MESSAGE, nullptr,
                                GetModuleHandleA(nullptr), nullptr);
  ASSERT_NE(window, nullptr);
  for (const LookupCase& c : cases) {
    SCOPED_TRACE(c.name);
    auto server = std::make_shared<SilentNameServer>();
    const DWORD ui_thread = GetCurrentThreadId();
    std::thread quitter;
    if (c.quit_after_ms > 0) {
      quitter = std::thread([&] {
        Sleep(static_cast<DWORD>(c.quit_after_ms));
        PostThreadMessageA(ui_thread, WM_QUIT, 0, 0);
      });
    }
    AnswerTimer timer(window);
    const auto start = std::chrono::steady_clock::now();
    try {
      c.run(SilentNameServer::Lookup(server));
      ADD_FAILURE() << "the lookup succeeded";
    } catch (const SocketError& e) {
      EXPECT_EQ(e.code(), c.want_code) << e.what();
      EXPECT_NE(std::string(e.what()).find("unanswered.example"), std::string::npos) << e.what();
    }
    const int64_t took = std::chrono::duration_cast<std::chrono::milliseconds>(
                             std::chrono::steady_clock::now() - start)
                             .count();
    if (quitter.joinable()) quitter.join();
    ResetMessageLoopState();
    timer.Stop();
    std::printf("%s: ended after %lld ms; %d answers, slowest %lld ms\n", c.name,
                static_cast<long long>(took), timer.answers(),
                static_cast<long long>(timer.slowest_ms()));
    EXPECT_GE(took, c.min_ms);
    EXPECT_LE(took, c.max_ms);
    EXPECT_LT(timer.slowest_ms(), 150);
    // The sender waits 10 ms after each answer, which takes up to one slice.
    EXPECT_GE(timer.answers(), c.min_ms / (kWaitSliceMs + 10) - 1);
    EXPECT_TRUE(SilentNameServer::ReleaseAndWait(server));
  }
  DestroyWindow(window);
}

TEST(TransportWin32, LoopbackExchangeAndTimedOutReadThatKeepsPumping) {
  int pumps = 0;
  WinsockNetwork net([&] { ++pumps; });
  auto listener = net.Listen("127.0.0.3");
  ASSERT_NE(listener->Port(), 0);
  auto client = net.Connect("127.0.0.3", listener->Port(), kConnectTimeoutMs);
  auto server = listener->Accept(5000);
  EXPECT_EQ(client->PeerAddress(), "127.0.0.3");
  EXPECT_EQ(server->PeerAddress(), client->LocalAddress());
  EXPECT_EQ(server->LocalAddress(), "127.0.0.3");

  server->Write("220 ready\r\n");
  LineReader reader(*client, SteadyClock());
  EXPECT_EQ(ReadReply(reader, 5000).code, 220);

  pumps = 0;
  const ULONGLONG start = GetTickCount64();
  char buffer[8];
  try {
    client->Read(buffer, sizeof buffer, 450);
    FAIL() << "the read did not time out";
  } catch (const SocketError& e) {
    EXPECT_EQ(e.code(), WSAETIMEDOUT);
    EXPECT_TRUE(std::string(e.what()).starts_with("Socket Error # 10060\r\n")) << e.what();
  }
  const ULONGLONG elapsed = GetTickCount64() - start;
  EXPECT_GE(elapsed, 400u);
  EXPECT_LT(elapsed, 3000u);
  // Slices of at most 100 ms: the pump ran between them.
  EXPECT_GE(pumps, 3);

  server->Close();
  EXPECT_EQ(client->Read(buffer, sizeof buffer, 5000), 0u);
}

TEST(TransportWin32, AcceptTimesOutAndAbandonEndsAWaitEarly) {
  int pumps = 0;
  WinsockNetwork net([&] { ++pumps; }, [&] { return pumps >= 2; });
  auto listener = net.Listen("127.0.0.1");
  const ULONGLONG start = GetTickCount64();
  try {
    listener->Accept(60000);
    FAIL() << "accept returned";
  } catch (const SocketError& e) {
    EXPECT_EQ(e.code(), WSAEINTR);
  }
  EXPECT_LT(GetTickCount64() - start, 5000u);
  EXPECT_EQ(pumps, 2);
}

TEST(TransportWin32, RefusedConnectionIsASocketError) {
  WinsockNetwork net([] {});
  uint16_t port;
  {
    auto listener = net.Listen("127.0.0.1");
    port = listener->Port();
  }
  try {
    net.Connect("127.0.0.1", port, 5000);
    FAIL();
  } catch (const SocketError& e) {
    EXPECT_EQ(e.code(), WSAECONNREFUSED);
  }
  EXPECT_FALSE(net.LocalHostName().empty());
}

}  // namespace
}  // namespace tarnwick::net
