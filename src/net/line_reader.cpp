#include "net/line_reader.h"

#include <algorithm>
#include <chrono>

namespace tarnwick::net {
namespace {

// Reply texts end up in message boxes: control bytes are shown as '?'.
std::string Printable(std::string text) {
  for (char& c : text) {
    if (static_cast<unsigned char>(c) < 32 && c != '\t') c = '?';
  }
  return text;
}

bool IsDigit(char c) {
  return c >= '0' && c <= '9';
}

// "ddd" at the start of a line followed by ' ', '-' or the end of the line.
bool HasCode(const std::string& line) {
  return line.size() >= 3 && line[0] >= '1' && line[0] <= '5' && IsDigit(line[1]) &&
         IsDigit(line[2]) && (line.size() == 3 || line[3] == ' ' || line[3] == '-');
}

Error Malformed(const std::string& line) {
  return Error("Malformed reply from server: " + Printable(line.substr(0, 80)));
}

}  // namespace

SocketError TimedOutError() {
  return SocketError(kTimedOutCode, "Connection timed out.");
}

Clock SteadyClock() {
  return [] {
    return std::chrono::duration_cast<std::chrono::milliseconds>(
               std::chrono::steady_clock::now().time_since_epoch())
        .count();
  };
}

LineReader::LineReader(Stream& stream, Clock clock, size_t max_line)
    : stream_(stream), clock_(std::move(clock)), max_line_(max_line) {}

std::string LineReader::ReadLine(int64_t deadline_ms) {
  for (;;) {
    const size_t lf = buffer_.find('\n');
    if (lf != std::string::npos) {
      if (lf > max_line_ + 1) throw Error("Reply line too long.");
      std::string line = buffer_.substr(0, lf);
      buffer_.erase(0, lf + 1);
      if (!line.empty() && line.back() == '\r') line.pop_back();
      return line;
    }
    if (buffer_.size() > max_line_ + 1) throw Error("Reply line too long.");
    const int64_t left = deadline_ms - clock_();
    if (left <= 0) throw TimedOutError();
    char chunk[512];
    const size_t n =
        stream_.Read(chunk, sizeof chunk, static_cast<int>(std::min<int64_t>(left, INT32_MAX)));
    if (n == 0) throw Error("Connection closed by the server.");
    buffer_.append(chunk, n);
  }
}

std::string Reply::Text() const {
  std::string text;
  for (size_t i = 0; i < lines.size(); ++i) {
    if (i > 0) text += "\r\n";
    text += lines[i];
  }
  if (text.empty()) text = std::to_string(code);
  return text;
}

Reply ReadReply(LineReader& reader, int timeout_ms) {
  const int64_t deadline = reader.Now() + timeout_ms;
  std::string line = reader.ReadLine(deadline);
  if (!HasCode(line)) throw Malformed(line);
  Reply reply;
  reply.code = std::stoi(line.substr(0, 3));
  const std::string code = line.substr(0, 3);
  bool more = line.size() > 3 && line[3] == '-';
  reply.lines.push_back(Printable(line.size() > 4 ? line.substr(4) : std::string()));
  while (more) {
    if (reply.lines.size() >= kMaxReplyLines) throw Error("Reply from server too long.");
    line = reader.ReadLine(deadline);
    // Inner lines of a multi-line reply may carry the code or be free text; the
    // reply ends with the same code followed by a space (or nothing).
    if (line.compare(0, 3, code) == 0 && HasCode(line)) {
      more = line.size() > 3 && line[3] == '-';
      line = line.size() > 4 ? line.substr(4) : std::string();
    }
    reply.lines.push_back(Printable(line));
  }
  return reply;
}

void Expect(const Reply& reply, std::initializer_list<int> accepted) {
  if (std::find(accepted.begin(), accepted.end(), reply.code) == accepted.end()) {
    throw Error(reply.Text());
  }
}

void CheckLineSafe(const std::string& value, const std::string& what) {
  if (value.find_first_of(std::string("\r\n\0", 3)) != std::string::npos) {
    throw Error("The " + what + " must not contain line breaks.");
  }
}

}  // namespace tarnwick::net
