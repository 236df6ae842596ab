// Randomized inputs for every reply parser: HTTP replies (status line, header
// lines, chunked and other bodies) split at random read boundaries, and ICMP
// datagrams. A parser may accept or raise Error; anything else (another
// exception, a sanitizer report, a result outside the bounds) is a fault.
#include <gtest/gtest.h>

#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <random>

#include "net/http_response.h"
#include "net/icmp_packet.h"
#include "unit/net/http_fakes.h"

namespace tarnwick::net {
namespace {

using Clock = std::chrono::steady_clock;

constexpr auto kBudget = std::chrono::seconds(3);
constexpr size_t kMaxInputs = 200000;

uint32_t Seed() {
  const char* env = std::getenv("TARNWICK_FUZZ_SEED");
  return env ? static_cast<uint32_t>(std::strtoul(env, nullptr, 10)) : 20240611u;
}

const char* const kSeeds[] = {
    "HTTP/1.1 200 OK\r\nContent-Length: 5\r\n\r\nhello",
    "HTTP/1.1 200 OK\r\nTransfer-Encoding: chunked\r\n\r\n4;a=b\r\nWiki\r\n0\r\nT: 1\r\n\r\n",
    "HTTP/1.0 404 Not Found\r\nX: a\r\n folded\r\n\r\nbody until close",
    "HTTP/1.1 304 Not Modified\r\nLocation: /x\r\n\r\n",
    "HTTP/1.1 200 OK\nContent-Length: 0\n\n",
};

const char* const kTokens[] = {"\r\n",
                               "\n",
                               ":",
                               " ",
                               ";",
                               "0",
                               "F",
                               "ffffffff",
                               "chunked",
                               "Transfer-Encoding: chunked\r\n",
                               "Content-Length: ",
                               "HTTP/1.1 ",
                               "200",
                               "\r\n\r\n",
                               "-",
                               "\t"};

std::string Mutate(std::mt19937& rng, std::string s) {
  int edits = std::uniform_int_distribution<int>(1, 6)(rng);
  for (int i = 0; i < edits; ++i) {
    size_t pos = s.empty() ? 0 : std::uniform_int_distribution<size_t>(0, s.size())(rng);
    switch (rng() % 5) {
      case 0:  // flip a byte
        if (pos < s.size()) s[pos] = static_cast<char>(rng());
        break;
      case 1:  // insert a token
        s.insert(pos, kTokens[rng() % std::size(kTokens)]);
        break;
      case 2:  // cut the rest
        s.resize(pos);
        break;
      case 3:  // delete a run
        if (pos < s.size()) s.erase(pos, rng() % 8 + 1);
        break;
      case 4:  // repeat a run
        if (pos < s.size()) s.insert(pos, s.substr(pos, rng() % 64));
        break;
    }
  }
  return s;
}

TEST(ReplyParsers, RandomizedHttpReplies) {
  std::mt19937 rng(Seed());
  constexpr size_t kBody = 256;
  size_t inputs = 0, accepted = 0;
  for (auto start = Clock::now(); inputs < kMaxInputs && Clock::now() - start < kBudget; ++inputs) {
    std::string reply = Mutate(rng, kSeeds[rng() % std::size(kSeeds)]);
    testing::VirtualClock clock;
    auto script = std::make_shared<testing::ServerScript>();
    for (size_t pos = 0; pos < reply.size();) {
      size_t n = std::uniform_int_distribution<size_t>(1, 16)(rng);
      script->Send(reply.substr(pos, n));
      pos += n;
    }
    if (rng() % 4) script->Close();  // else the server goes silent
    testing::ScriptedStream stream(script, clock);
    HttpReader reader(stream, 60000, clock.AsClock());
    try {
      HttpResponse response = ReadResponse(reader, kBody);
      ++accepted;
      ASSERT_LE(response.body.size(), kBody) << reply;
      ASSERT_GE(response.status.code, 100) << reply;
      ASSERT_LE(response.headers.size(), 2 * kMaxHttpHeaderLines) << reply;
    } catch (const Error&) {
    }
  }
  std::printf("HTTP reply parser: %zu randomized inputs, %zu accepted\n", inputs, accepted);
  EXPECT_GT(accepted, 0u);
  EXPECT_LT(accepted, inputs);
}

TEST(ReplyParsers, RandomizedChunkSizeAndStatusLines) {
  std::mt19937 rng(Seed() + 1);
  size_t inputs = 0;
  for (auto start = Clock::now(); inputs < kMaxInputs && Clock::now() - start < kBudget; ++inputs) {
    std::string line(rng() % 24, '\0');
    for (char& c : line) c = "0123456789abcdefABCDEF ;\t/HTP.x"[rng() % 31];
    size_t max = rng() % 2 ? SIZE_MAX : rng() % 5000;
    try {
      ASSERT_LE(ParseChunkSize(line, max), max) << line;
    } catch (const Error&) {
    }
    try {
      HttpStatus s = ParseStatusLine(line);
      ASSERT_TRUE(s.code >= 100 && s.code <= 999) << line;
    } catch (const Error&) {
    }
  }
  std::printf("Chunk size and status line parsers: %zu randomized inputs\n", inputs);
}

TEST(ReplyParsers, RandomizedIcmpDatagrams) {
  std::mt19937 rng(Seed() + 2);
  size_t inputs = 0, accepted = 0;
  for (auto start = Clock::now(); inputs < kMaxInputs && Clock::now() - start < kBudget; ++inputs) {
    size_t size = rng() % 3 ? rng() % 80 + 1 : rng() % kIcmpBufferSize + 1;
    // Exactly `size` bytes on the heap, so reads past the datagram are caught.
    std::vector<uint8_t> datagram(size);
    for (auto& b : datagram) b = static_cast<uint8_t>(rng());
    if (rng() % 2) datagram[0] = static_cast<uint8_t>(0x40 | (rng() % 16));
    size_t header = (datagram[0] & 0x0F) * 4u;
    if (rng() % 2 && header < size) datagram[header] = "\x00\x03\x08\x0b"[rng() % 4];
    try {
      TReplyStatus r = DecodeReply(datagram.data(), size, static_cast<uint32_t>(rng()));
      ++accepted;
      ASSERT_EQ(r.bytes_received, static_cast<int>(size));
      ASSERT_NE(r.status, ReplyStatus::kTimedOut);
    } catch (const Error&) {
    }
  }
  std::printf("ICMP decoder: %zu randomized inputs, %zu accepted\n", inputs, accepted);
  EXPECT_GT(accepted, 0u);
}

}  // namespace
}  // namespace tarnwick::net
