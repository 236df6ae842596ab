#include "net/icmp_packet.h"

#include <gtest/gtest.h>

#include "app/error.h"
#include "unit/net/icmp_fakes.h"

namespace tarnwick::net {
namespace {

using testing::Datagram;

TEST(InternetChecksum, MatchesTheRfcExampleInHostOrder) {
  // RFC 1071's example sums to 0xddf2 in network order; read as little-endian
  // words the complement is 0x0d22, which goes on the wire as 22 0d.
  const uint8_t bytes[] = {0x00, 0x01, 0xf2, 0x03, 0xf4, 0xf5, 0xf6, 0xf7};
  EXPECT_EQ(InternetChecksum(bytes, sizeof bytes), 0x0d22);
  const uint8_t odd[] = {0x01, 0x02, 0x03};
  EXPECT_EQ(InternetChecksum(odd, sizeof odd), static_cast<uint16_t>(~(0x0201 + 0x03)));
}

TEST(BuildEchoRequest, ByteForByte) {
  auto p = BuildEchoRequest(0x1234, 0x0102, 0xA1B2C3D4);
  const uint8_t head[20] = {8,    0,    0, 0, 0x34, 0x12, 0x02, 0x01, 0xD4, 0xC3,
                            0xB2, 0xA1, 0, 0, 0,    0,    0,    0,    0,    0};
  for (size_t i = 0; i < 20; ++i) {
    if (i != 2 && i != 3) {
      EXPECT_EQ(p[i], head[i]) << "byte " << i;
    }
  }
  for (size_t i = 20; i < kEchoRequestSize; ++i) EXPECT_EQ(p[i], 0x45) << "byte " << i;
  // The checksum verifies: the sum over the whole packet complements to zero.
  EXPECT_EQ(InternetChecksum(p.data(), p.size()), 0);
  auto copy = p;
  copy[2] = copy[3] = 0;
  EXPECT_EQ(p[2] | p[3] << 8, InternetChecksum(copy.data(), copy.size()));
}

TEST(DecodeReply, AcceptedTypes) {
  struct {
    uint8_t type;
    ReplyStatus status;
  } cases[] = {{0, ReplyStatus::kEcho},
               {8, ReplyStatus::kEcho},
               {3, ReplyStatus::kUnreachable},
               {11, ReplyStatus::kTtlExceeded}};
  for (const auto& c : cases) {
    auto d = Datagram(c.type, 0xBEEF, 5000, 117);
    TReplyStatus r = DecodeReply(d.data(), d.size(), 5042);
    EXPECT_EQ(r.status, c.status);
    EXPECT_EQ(r.msg_type, c.type);
    EXPECT_EQ(r.bytes_received, static_cast<int>(d.size()));
    EXPECT_EQ(r.from_address, "10.1.2.3");
    EXPECT_EQ(r.sequence, 0xBEEF);
    EXPECT_EQ(r.elapsed_ms, 42u);
    EXPECT_EQ(r.time_to_live, 117);
  }
}

TEST(DecodeReply, LongerIpHeaderAndTickWrap) {
  auto d = Datagram(0, 7, 0xFFFFFFF0, 64, /*header_words=*/6);
  TReplyStatus r = DecodeReply(d.data(), d.size(), 0x10);
  EXPECT_EQ(r.sequence, 7);
  EXPECT_EQ(r.elapsed_ms, 0x20u);
}

TEST(DecodeReply, RejectsShortAndForeignDatagrams) {
  auto d = Datagram(0, 1, 0);
  try {
    DecodeReply(d.data(), 27, 0);  // 20-byte header + 7
    FAIL();
  } catch (const Error& e) {
    EXPECT_STREQ(e.what(), "Not enough bytes received");
  }
  EXPECT_NO_THROW(DecodeReply(d.data(), 28, 0));  // exactly header + 8
  auto big_header = Datagram(0, 1, 0, 64, 15);    // 60-byte header
  EXPECT_THROW(DecodeReply(big_header.data(), 67, 0), Error);
  d[0] = 0x44;  // an IP header shorter than its fixed part
  EXPECT_THROW(DecodeReply(d.data(), d.size(), 0), Error);

  auto redirect = Datagram(5, 1, 0);
  try {
    DecodeReply(redirect.data(), redirect.size(), 0);
    FAIL();
  } catch (const Error& e) {
    EXPECT_STREQ(e.what(), "Non-echo type response received");
  }
}

}  // namespace
}  // namespace tarnwick::net
