// The Winsock transport on loopback: data both ways, waits that end in a
// time-out error, and the message pump called between wait slices.
#include "net/transport_win32.h"

#include <gtest/gtest.h>
#include <windows.h>

#include <thread>

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

// A peer that sends a byte every 20 ms never leaves a wait slice empty: the
// window's messages must still get through while such a line is read, and the
// wait must still end early when the program quits.
TEST(TransportWin32, DataThatKeepsTricklingInStillLetsMessagesThrough) {
  int pumps = 0;
  bool quitting = false;
  WinsockNetwork net([&] { ++pumps; }, [&] { return quitting; });
  // The peer's side writes from a thread of its own, with nothing to pump.
  WinsockNetwork peer([] {});
  auto listener = peer.Listen("127.0.0.1");
  auto client = net.Connect("127.0.0.1", listener->Port(), kConnectTimeoutMs);
  auto server = listener->Accept(5000);
  const std::string line = std::string(40, 'x') + "\r\n";
  std::thread trickle([&] {
    for (char c : line) {
      server->Write(std::string(1, c));
      Sleep(20);
    }
  });
  LineReader reader(*client, SteadyClock());
  const ULONGLONG start = GetTickCount64();
  EXPECT_EQ(reader.ReadLine(reader.Now() + 10000), std::string(40, 'x'));
  const ULONGLONG elapsed = GetTickCount64() - start;
  trickle.join();
  // About 840 ms of trickle: a pump at least every 100 ms or so.
  EXPECT_GE(pumps, static_cast<int>(elapsed / 150)) << elapsed << " ms";

  quitting = true;
  std::thread more([&] {
    for (int i = 0; i < 20; ++i) {
      server->Write("y");
      Sleep(20);
    }
  });
  char buffer[64];
  int code = 0;
  try {
    for (int i = 0; i < 20; ++i) client->Read(buffer, sizeof buffer, 5000);
  } catch (const SocketError& e) {
    code = e.code();
  }
  more.join();
  EXPECT_EQ(code, WSAEINTR) << "reads went on after the program quit";
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
