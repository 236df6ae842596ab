// The framing that bounds what a TLS stream buffers before decrypting.
#include "net/tls_record.h"

#include <gtest/gtest.h>

#include "app/error.h"

namespace tarnwick::net {
namespace {

std::string Record(unsigned char type, size_t length, size_t body) {
  std::string r = {static_cast<char>(type), 3, 3, static_cast<char>(length >> 8),
                   static_cast<char>(length & 0xFF)};
  return r + std::string(body, 'x');
}

TEST(TlsRecord, NeedAndMissingBytes) {
  struct Case {
    std::string buffer;
    size_t need, missing;
  } cases[] = {
      {"", 5, 5},
      {Record(22, 100, 0).substr(0, 3), 5, 2},
      {Record(22, 100, 40), 105, 60},
      {Record(23, kTlsMaxCiphertext, 0), kTlsMaxRecord, kTlsMaxCiphertext},
      // A complete record: what is missing is the next one's header.
      {Record(22, 10, 10), 15, 5},
      {Record(22, 10, 10) + Record(23, 20, 1), 15, 19},
  };
  for (const Case& c : cases) {
    EXPECT_EQ(TlsRecordNeed(c.buffer), c.need) << c.buffer.size();
    EXPECT_EQ(TlsBytesMissing(c.buffer), c.missing) << c.buffer.size();
  }
}

TEST(TlsRecord, RefusesWhatIsNotTlsOrTooLong) {
  const std::string refused[] = {
      "220 mx.example ESMTP\r\n",  // a plain-text server on a TLS port
      std::string("\x16\x02", 2),   // SSL 2 style version byte
      Record(22, kTlsMaxCiphertext + 1, 0),
      Record(25, 10, 10),
  };
  for (const std::string& bytes : refused) {
    EXPECT_THROW(TlsRecordNeed(bytes), Error) << bytes;
    EXPECT_THROW(TlsBytesMissing(bytes), Error) << bytes;
  }
  // A later record is checked as well, and the buffer has a ceiling.
  EXPECT_THROW(TlsBytesMissing(Record(22, 1, 1) + "HTTP/1.1"), Error);
  std::string flood;
  while (flood.size() <= kTlsMaxBuffered) flood += Record(22, kTlsMaxCiphertext, kTlsMaxCiphertext);
  EXPECT_THROW(TlsBytesMissing(flood + Record(22, 10, 0)), Error);
  EXPECT_EQ(TlsBytesMissing(flood.substr(0, 4 * kTlsMaxRecord) + Record(22, 10, 0)), 10u);
}

}  // namespace
}  // namespace tarnwick::net
