#pragma once
// Lines and numbered replies (SMTP, FTP) read from a Stream. Everything read is
// bounded: the length of a line, the number of lines of a reply and the time a
// whole reply may take. A reply that ends early or does not parse is an error.
#include <cstddef>
#include <cstdint>
#include <functional>
#include <initializer_list>
#include <string>
#include <vector>

#include "net/transport.h"

namespace tarnwick::net {

inline constexpr size_t kMaxReplyLineLength = 2048;
inline constexpr size_t kMaxReplyLines = 200;

// A deadline that passes is reported with kTimedOutCode.
SocketError TimedOutError();

// Milliseconds of a monotonic clock; injected so that tests run in virtual time.
using Clock = std::function<int64_t()>;
Clock SteadyClock();

class LineReader {
 public:
  LineReader(Stream& stream, Clock clock, size_t max_line = kMaxReplyLineLength);

  // The next line without its CR LF (a lone LF also ends a line). Throws Error
  // when the peer closes first or the line is too long, SocketError on errors and
  // when `deadline_ms` (of the clock) passes.
  std::string ReadLine(int64_t deadline_ms);

  int64_t Now() const { return clock_(); }

 private:
  Stream& stream_;
  Clock clock_;
  size_t max_line_;
  std::string buffer_;
};

struct Reply {
  int code = 0;
  // The text of each line after the code and its separator.
  std::vector<std::string> lines;

  // The lines joined by CR LF; the code itself when the server gave no text.
  std::string Text() const;
};

// Reads one reply, single-line ("250 ok") or multi-line ("250-a" ... "250 z"),
// within `timeout_ms`. Throws Error for a malformed or truncated reply.
Reply ReadReply(LineReader& reader, int timeout_ms);

// Throws Error(reply text) unless the reply's code is one of `accepted`.
void Expect(const Reply& reply, std::initializer_list<int> accepted);

// Refuses a value that would break a protocol line: CR, LF or NUL inside it.
// `what` names the value in the message; the value itself is never quoted.
void CheckLineSafe(const std::string& value, const std::string& what);

}  // namespace tarnwick::net
