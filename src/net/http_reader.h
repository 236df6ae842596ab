#pragma once
// Buffered, bounded reading of an HTTP reply from a Stream. The buffer belongs to
// the connection, so bytes that arrive after one reply are kept for the next.
#include <cstddef>
#include <cstdint>
#include <functional>
#include <limits>
#include <optional>
#include <string>

#include "net/transport.h"

namespace tarnwick::net {

// Milliseconds of a monotonic clock; injected so that tests run in virtual time.
using HttpClock = std::function<int64_t()>;
HttpClock SteadyHttpClock();

// The code and text of a wait that ran out (Windows Sockets' "timed out").
inline constexpr int kHttpTimedOutCode = 10060;
[[noreturn]] void ThrowHttpTimedOut();

class HttpReader {
 public:
  // Every read waits at most `idle_timeout_ms` for the next bytes and never past
  // the deadline: a stalled or trickling peer ends in a time-out error, not a hang.
  HttpReader(Stream& stream, int idle_timeout_ms, HttpClock clock)
      : stream_(stream), idle_timeout_ms_(idle_timeout_ms), clock_(std::move(clock)) {}

  // Reads after `deadline_ms` (on the clock) fail with a time-out.
  void SetDeadline(int64_t deadline_ms) { deadline_ms_ = deadline_ms; }
  int64_t Now() const { return clock_(); }

  // One line ended by LF, without the LF and a CR before it. Returns nothing when
  // the peer closed before the first byte of the line. Throws Error when the line
  // is longer than `max_length` or the peer closes in the middle of it.
  std::optional<std::string> ReadLine(size_t max_length);

  // Appends exactly `count` bytes; throws Error when the peer closes first.
  void ReadExact(size_t count, std::string& out);

  // Appends everything up to the peer's close; throws Error past `max_bytes`.
  void ReadToClose(size_t max_bytes, std::string& out);

  // True once a read has seen the peer close the connection.
  bool PeerClosed() const { return closed_; }
  // Bytes received but not read yet.
  size_t Buffered() const { return buffer_.size() - pos_; }

 private:
  // Reads more bytes into the buffer; false when the peer has closed.
  bool Fill();

  Stream& stream_;
  int idle_timeout_ms_;
  HttpClock clock_;
  int64_t deadline_ms_ = std::numeric_limits<int64_t>::max();
  std::string buffer_;
  size_t pos_ = 0;
  bool closed_ = false;
};

}  // namespace tarnwick::net
