// The SMTP/FTP numbered reply reader over a server that splits its output at
// the fuzzer's choice. A reply is read or refused with Error; what is read keeps
// the reader's bounds, and no reply waits past its deadline.
#include "fuzz/scripted_input.h"
#include "net/line_reader.h"

using namespace tarnwick;

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  fuzz::Input in(data, size);
  const fuzz::ServerOutput server(in);
  net::testing::VirtualClock clock;
  net::testing::ScriptedStream stream(server.Script(), clock);
  net::LineReader reader(stream, clock.AsClock());
  // A conversation reads several replies off one connection.
  for (int i = 0; i < 8; ++i) {
    const int64_t start = clock.now;
    try {
      const net::Reply reply = net::ReadReply(reader, net::kReplyTimeoutMs);
      FUZZ_CHECK(reply.code >= 100 && reply.code <= 599);
      FUZZ_CHECK(!reply.lines.empty() && reply.lines.size() <= net::kMaxReplyLines);
      for (const std::string& line : reply.lines) {
        FUZZ_CHECK(line.size() <= net::kMaxReplyLineLength);
        for (char c : line) FUZZ_CHECK(static_cast<unsigned char>(c) >= 32 || c == '\t');
      }
      FUZZ_CHECK(!reply.Text().empty());
    } catch (const Error&) {
      i = 8;
    }
    FUZZ_CHECK(clock.now - start <= net::kReplyTimeoutMs);
  }
  return 0;
}
