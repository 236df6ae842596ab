#include "net/http_reader.h"

#include <algorithm>
#include <chrono>

#include "app/error.h"

namespace tarnwick::net {
namespace {

constexpr size_t kReadChunk = 4096;

[[noreturn]] void ThrowTruncated() {
  throw Error("Connection closed before the end of the HTTP reply");
}

}  // namespace

HttpClock SteadyHttpClock() {
  return [] {
    return std::chrono::duration_cast<std::chrono::milliseconds>(
               std::chrono::steady_clock::now().time_since_epoch())
        .count();
  };
}

void ThrowHttpTimedOut() {
  throw SocketError(kHttpTimedOutCode, "Connection timed out");
}

bool HttpReader::Fill() {
  if (closed_) return false;
  if (pos_ > 0) {
    buffer_.erase(0, pos_);
    pos_ = 0;
  }
  size_t old_size = buffer_.size();
  buffer_.resize(old_size + kReadChunk);
  int64_t left = deadline_ms_ - clock_();
  if (left <= 0) {
    buffer_.resize(old_size);
    ThrowHttpTimedOut();
  }
  int timeout = static_cast<int>(std::min<int64_t>(idle_timeout_ms_, left));
  size_t got = 0;
  try {
    got = stream_.Read(buffer_.data() + old_size, kReadChunk, timeout);
  } catch (...) {
    buffer_.resize(old_size);
    throw;
  }
  buffer_.resize(old_size + got);
  if (got == 0) closed_ = true;
  return got > 0;
}

std::optional<std::string> HttpReader::ReadLine(size_t max_length) {
  size_t scanned = 0;  // bytes after pos_ known to hold no LF
  while (true) {
    size_t lf = buffer_.find('\n', pos_ + scanned);
    if (lf != std::string::npos) {
      size_t end = lf;
      if (end > pos_ && buffer_[end - 1] == '\r') --end;
      if (end - pos_ > max_length) break;
      std::string line = buffer_.substr(pos_, end - pos_);
      pos_ = lf + 1;
      return line;
    }
    scanned = Buffered();
    // A CR may still be followed by the LF, so allow one byte more than the limit.
    if (scanned > max_length + 1) break;
    if (!Fill()) {
      if (scanned == 0) return std::nullopt;
      ThrowTruncated();
    }
  }
  throw Error("HTTP reply line longer than " + std::to_string(max_length) + " bytes");
}

void HttpReader::ReadExact(size_t count, std::string& out) {
  while (count > 0) {
    if (Buffered() == 0 && !Fill()) ThrowTruncated();
    size_t take = std::min(count, Buffered());
    out.append(buffer_, pos_, take);
    pos_ += take;
    count -= take;
  }
}

void HttpReader::ReadToClose(size_t max_bytes, std::string& out) {
  size_t start = out.size();
  while (true) {
    size_t take = Buffered();
    if (out.size() - start + take > max_bytes)
      throw Error("HTTP reply body larger than " + std::to_string(max_bytes) + " bytes");
    out.append(buffer_, pos_, take);
    pos_ += take;
    if (!Fill()) return;
  }
}

}  // namespace tarnwick::net
