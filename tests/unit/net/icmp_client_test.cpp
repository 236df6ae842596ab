#include "net/icmp_client.h"

#include <gtest/gtest.h>

#include "app/error.h"
#include "net/sliced_wait.h"
#include "unit/net/icmp_fakes.h"

namespace tarnwick::net {
namespace {

using testing::Datagram;
using testing::FakeIcmpNetwork;

class IcmpClientTest : public ::testing::Test {
 protected:
  IcmpClientTest() {
    client.host = "127.0.0.1";
    client.OnReply = [this](const TReplyStatus& r) {
      replies.push_back(r);
      sockets_open_in_callback = net.log.open_sockets;
    };
  }
  FakeIcmpNetwork net;
  IcmpClient client{net};
  std::vector<TReplyStatus> replies;
  int sockets_open_in_callback = -1;
};

TEST_F(IcmpClientTest, OneExchangeSendsTheRequestAndReportsTheReply) {
  net.log.datagrams.push_back(Datagram(0, 0, 990));
  client.Ping();
  ASSERT_EQ(net.log.packets.size(), 1u);
  const auto& sent = net.log.packets[0];
  ASSERT_EQ(sent.size(), 52u);
  EXPECT_EQ(sent[0], 8);
  EXPECT_EQ(sent[4] | sent[5] << 8, 0xCDEF);  // low 16 bits of the process id
  EXPECT_EQ(sent[8] | sent[9] << 8, 1000);    // tick count
  EXPECT_EQ(net.log.sent_to[0], "127.0.0.1");
  EXPECT_EQ(net.log.ttls, std::vector<int>{128});
  EXPECT_EQ(net.log.receive_timeouts, std::vector<int>{5000});
  ASSERT_EQ(replies.size(), 1u);
  EXPECT_EQ(replies[0].status, ReplyStatus::kEcho);
  EXPECT_EQ(replies[0].elapsed_ms, 10u);
  EXPECT_EQ(sockets_open_in_callback, 1);  // closed after the callback...
  EXPECT_EQ(net.log.open_sockets, 0);      // ...and before Ping returns
}

TEST_F(IcmpClientTest, SequenceCountsUpAndWraps) {
  client.Ping();
  client.Ping();
  client.set_sequence(65535);
  client.Ping();
  client.Ping();
  ASSERT_EQ(net.log.packets.size(), 4u);
  auto seq = [&](int i) { return net.log.packets[i][6] | net.log.packets[i][7] << 8; };
  EXPECT_EQ(seq(0), 0);
  EXPECT_EQ(seq(1), 1);
  EXPECT_EQ(seq(2), 65535);
  EXPECT_EQ(seq(3), 0);
}

TEST_F(IcmpClientTest, TimeOutIsARecordNotAnError) {
  client.receive_timeout_ms = 10000;
  client.Ping();
  ASSERT_EQ(replies.size(), 1u);
  TReplyStatus want;
  want.sequence = 1;  // the counter, already moved on
  EXPECT_EQ(replies[0], want);
  EXPECT_EQ(replies[0].from_address, "0.0.0.0");
  EXPECT_EQ(replies[0].status, ReplyStatus::kTimedOut);
  EXPECT_EQ(net.log.receive_timeouts, std::vector<int>{10000});
}

TEST_F(IcmpClientTest, AnyAcceptedDatagramEndsTheExchange) {
  // Another program's echo reply (other sequence, other source) is taken as ours.
  net.log.datagrams.push_back(Datagram(0, 4242, 0));
  net.log.datagrams.push_back(Datagram(3, 0, 0));
  net.log.datagrams.push_back(Datagram(11, 0, 0));
  client.Ping();
  client.Ping();
  client.Ping();
  ASSERT_EQ(replies.size(), 3u);
  EXPECT_EQ(replies[0].sequence, 4242);
  EXPECT_EQ(replies[1].status, ReplyStatus::kUnreachable);
  EXPECT_EQ(replies[2].status, ReplyStatus::kTtlExceeded);
}

TEST_F(IcmpClientTest, HostForms) {
  for (const char* host : {"LocalHost", "10.9.8.7", "example.net"}) {
    client.host = host;
    client.Ping();
  }
  EXPECT_EQ(net.log.sent_to, (std::vector<std::string>{"127.0.0.1", "10.9.8.7", "192.0.2.7"}));
  EXPECT_EQ(net.log.resolved, std::vector<std::string>{"example.net"});
}

TEST_F(IcmpClientTest, FailuresRaiseAndLeaveNoSocketOpen) {
  client.host = "no.such.host";
  EXPECT_THROW(client.Ping(), SocketError);
  client.host = "";
  EXPECT_THROW(client.Ping(), Error);
  EXPECT_TRUE(net.log.resolved.size() == 1);  // the empty name is never looked up
  client.host = "127.0.0.1";
  net.log.datagrams.push_back(Datagram(5, 0, 0));
  EXPECT_THROW(client.Ping(), Error);
  net.log.receive_error = 10054;
  EXPECT_THROW(client.Ping(), SocketError);
  net.log.open_error = 10013;
  EXPECT_THROW(client.Ping(), SocketError);
  EXPECT_TRUE(replies.empty());
  EXPECT_EQ(net.log.open_sockets, 0);
  EXPECT_EQ(client.sequence(), 5);  // every attempt used a number
}

TEST(WaitInSlices, SlicesPumpsAndBounds) {
  uint64_t now = 0;
  std::vector<int> slices;
  int pumps = 0;
  SlicedWait wait;
  wait.now_ms = [&] { return now; };
  wait.ready = [&](int slice) {
    slices.push_back(slice);
    now += slice;
    return false;
  };
  wait.pump = [&] { ++pumps; };

  EXPECT_FALSE(WaitInSlices(wait, 250));
  EXPECT_EQ(slices, (std::vector<int>{100, 100, 50}));
  EXPECT_EQ(pumps, 2);

  slices.clear();
  now = 0;
  EXPECT_FALSE(WaitInSlices(wait, 10000));
  EXPECT_EQ(now, 10000u);
  EXPECT_EQ(slices.size(), 100u);

  // Ready in the third slice.
  int calls = 0;
  wait.ready = [&](int slice) {
    now += slice;
    return ++calls == 3;
  };
  EXPECT_TRUE(WaitInSlices(wait, 10000));

  // A quitting program ends the wait after the current slice.
  calls = 0;
  wait.ready = [&](int slice) {
    now += slice;
    ++calls;
    return false;
  };
  wait.quitting = [&] { return calls >= 2; };
  EXPECT_FALSE(WaitInSlices(wait, 10000));
  EXPECT_EQ(calls, 2);
}

}  // namespace
}  // namespace tarnwick::net
