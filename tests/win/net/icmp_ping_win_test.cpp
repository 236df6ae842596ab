// The raw-socket echo client against the real loopback (needs the right to open
// raw sockets: administrator on Windows, root under Wine).
#include <gtest/gtest.h>
#include <windows.h>

#include <vector>

#include "net/icmp_client.h"
#include "net/icmp_socket_win32.h"
#include "net/transport.h"

namespace tarnwick::net {
namespace {

class LoopbackPing : public ::testing::Test {
 protected:
  LoopbackPing() {
    client.receive_timeout_ms = 5000;
    client.OnReply = [this](const TReplyStatus& r) { replies.push_back(r); };
  }
  int pumps = 0;
  WinsockIcmpNetwork network{[this] { ++pumps; }};
  IcmpClient client{network};
  std::vector<TReplyStatus> replies;
};

TEST_F(LoopbackPing, EchoFrom127001) {
  for (const char* host : {"127.0.0.1", "LOCALHOST"}) {
    SCOPED_TRACE(host);
    replies.clear();
    client.host = host;
    DWORD start = GetTickCount();
    client.Ping();
    ASSERT_EQ(replies.size(), 1u);
    const TReplyStatus& r = replies[0];
    EXPECT_EQ(r.status, ReplyStatus::kEcho);
    EXPECT_TRUE(r.msg_type == 0 || r.msg_type == 8) << int(r.msg_type);
    EXPECT_EQ(r.from_address, "127.0.0.1");
    EXPECT_GE(r.bytes_received, 20 + 52);  // IP header and our 52 bytes
    EXPECT_LT(GetTickCount() - start, 5000u);
    EXPECT_LT(r.elapsed_ms, 5000u);  // the tick we stamped came back
  }
  EXPECT_EQ(client.sequence(), 2);
}

TEST_F(LoopbackPing, WaitProcessesMessagesBetweenSlices) {
  int posted_seen = 0;
  WinsockIcmpNetwork pumping([&] {
    MSG msg;
    while (PeekMessageA(&msg, nullptr, 0, 0, PM_REMOVE))
      if (msg.message == WM_APP) ++posted_seen;
  });
  auto socket = pumping.OpenRawSocket(kIcmpTimeToLive);
  PostThreadMessageA(GetCurrentThreadId(), WM_APP, 0, 0);
  uint8_t buffer[kIcmpBufferSize];
  DWORD start = GetTickCount();
  size_t got = socket->Receive(buffer, sizeof buffer, 350);
  if (got != 0) GTEST_SKIP() << "other ICMP traffic arrived during the wait";
  EXPECT_EQ(posted_seen, 1);
  DWORD took = GetTickCount() - start;
  EXPECT_GE(took, 300u);
  EXPECT_LT(took, 2000u);
}

TEST_F(LoopbackPing, UnresolvableNameRaisesSocketError) {
  client.host = "no-such-host.invalid";
  EXPECT_THROW(client.Ping(), SocketError);
  EXPECT_TRUE(replies.empty());
}

}  // namespace
}  // namespace tarnwick::net
