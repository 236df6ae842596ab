#pragma once
// Reading and parsing of an HTTP/1.x reply: status line, header lines and the
// body (Content-Length, chunked, or up to the peer's close). Every part is
// bounded; a truncated or malformed reply raises Error.
#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>
#include <utility>
#include <vector>

#include "net/http_reader.h"

namespace tarnwick::net {

inline constexpr size_t kMaxHttpLineLength = 8192;
inline constexpr size_t kMaxHttpHeaderLines = 100;
// A keep-alive page is thrown away; anything larger than this is not a page the
// user meant to fetch every few minutes over a dial-up link.
inline constexpr size_t kMaxHttpBodyBytes = 1024 * 1024;

// A server that sends interim replies without end is not answering.
inline constexpr size_t kMaxHttpInterimReplies = 10;

struct HttpStatus {
  int code = 0;
  bool http10 = false;  // the reply's version is 1.0
};

struct HttpResponse {
  std::string status_line;
  HttpStatus status;
  std::vector<std::pair<std::string, std::string>> headers;  // in order, values trimmed
  std::string body;

  // The value of the first header named `name` (any letter case), or nothing.
  const std::string* Find(std::string_view name) const;
};

// "HTTP/x.y <code> <reason>": the code is the second blank-separated field and
// must be three digits.
HttpStatus ParseStatusLine(std::string_view line);

// "Name: value" with the value trimmed of blanks and tabs.
std::pair<std::string, std::string> ParseHeaderLine(std::string_view line);

// The hexadecimal size at the start of a chunk-size line, before any blank or
// ";" extension. Throws Error when it is missing, malformed or above `max_size`.
size_t ParseChunkSize(std::string_view line, size_t max_size);

// Reads one final reply, after any interim (1xx other than 101) replies. Replies
// to which no body belongs (101, 204, 304) end after the header lines; the body
// is otherwise limited to `max_body` bytes.
HttpResponse ReadResponse(HttpReader& reader, size_t max_body);

// The status line and header lines of the final reply only: a proxy's answer to
// CONNECT, after which the connection carries the tunnel.
HttpResponse ReadResponseHead(HttpReader& reader);

bool EqualsIgnoreCase(std::string_view a, std::string_view b);
std::string_view TrimBlanks(std::string_view text);

}  // namespace tarnwick::net
