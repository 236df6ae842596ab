// The Winsock transport on loopback: data both ways, waits that end in a
// time-out error, and the message pump called between wait slices.
#include "net/transport_win32.h"

#include <gtest/gtest.h>
#include <windows.h>

#include "net/line_reader.h"

namespace tarnwick::net {
namespace {

TEST(TransportWin32, LoopbackExchangeAndTimedOutReadThatKeepsPumping) {
  int pumps = 0;
  WinsockNetwork net([&] { ++pumps; });
  auto listener = net.Listen("127.0.0.1");
  ASSERT_NE(listener->Port(), 0);
  auto client = net.Connect("127.0.0.1", listener->Port(), kConnectTimeoutMs);
  auto server = listener->Accept(5000);
  EXPECT_EQ(client->LocalAddress(), "127.0.0.1");

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
