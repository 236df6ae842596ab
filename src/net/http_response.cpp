#include "net/http_response.h"

#include "app/error.h"

namespace tarnwick::net {
namespace {

char LowerAscii(char c) {
  return c >= 'A' && c <= 'Z' ? static_cast<char>(c - 'A' + 'a') : c;
}

bool ContainsIgnoreCase(std::string_view text, std::string_view word) {
  for (size_t i = 0; i + word.size() <= text.size(); ++i)
    if (EqualsIgnoreCase(text.substr(i, word.size()), word)) return true;
  return false;
}

int HexDigit(char c) {
  if (c >= '0' && c <= '9') return c - '0';
  c = LowerAscii(c);
  if (c >= 'a' && c <= 'f') return c - 'a' + 10;
  return -1;
}

bool HasNoBody(int code) {
  return code < 200 || code == 204 || code == 304;
}

// The Content-Length of the reply, or -1 without one. Differing copies of the
// header make the body's end ambiguous, so they are refused.
int64_t ContentLength(const HttpResponse& response, size_t max_body) {
  int64_t length = -1;
  for (const auto& [name, value] : response.headers) {
    if (!EqualsIgnoreCase(name, "Content-Length")) continue;
    if (value.empty() || value.size() > 18) throw Error("Invalid Content-Length in HTTP reply");
    int64_t parsed = 0;
    for (char c : value) {
      if (c < '0' || c > '9') throw Error("Invalid Content-Length in HTTP reply");
      parsed = parsed * 10 + (c - '0');
    }
    if (length >= 0 && parsed != length) throw Error("Invalid Content-Length in HTTP reply");
    length = parsed;
  }
  if (length > static_cast<int64_t>(max_body))
    throw Error("HTTP reply body larger than " + std::to_string(max_body) + " bytes");
  return length;
}

bool IsChunked(const HttpResponse& response) {
  for (const auto& [name, value] : response.headers)
    if (EqualsIgnoreCase(name, "Transfer-Encoding") && ContainsIgnoreCase(value, "chunked"))
      return true;
  return false;
}

std::string ReadRequiredLine(HttpReader& reader) {
  auto line = reader.ReadLine(kMaxHttpLineLength);
  if (!line) throw Error("Connection closed before the end of the HTTP reply");
  return *line;
}

// Header or trailer lines up to the empty line; folded lines continue the previous
// value.
void ReadHeaderBlock(HttpReader& reader, HttpResponse& response) {
  size_t lines = 0;
  while (true) {
    std::string line = ReadRequiredLine(reader);
    if (line.empty()) return;
    if (++lines > kMaxHttpHeaderLines)
      throw Error("More than " + std::to_string(kMaxHttpHeaderLines) +
                  " header lines in the HTTP reply");
    if (line[0] == ' ' || line[0] == '\t') {
      if (response.headers.empty()) throw Error("Invalid header line in HTTP reply");
      std::string& value = response.headers.back().second;
      value += ' ';
      value += TrimBlanks(line);
      continue;
    }
    response.headers.push_back(ParseHeaderLine(line));
  }
}

void ReadChunkedBody(HttpReader& reader, HttpResponse& response, size_t max_body) {
  while (true) {
    size_t size = ParseChunkSize(ReadRequiredLine(reader), max_body - response.body.size());
    if (size == 0) break;
    reader.ReadExact(size, response.body);
    if (!ReadRequiredLine(reader).empty()) throw Error("Invalid chunk in HTTP reply");
  }
  // Trailer fields are read (and kept) so that the connection ends at the reply's end.
  ReadHeaderBlock(reader, response);
}

}  // namespace

bool EqualsIgnoreCase(std::string_view a, std::string_view b) {
  if (a.size() != b.size()) return false;
  for (size_t i = 0; i < a.size(); ++i)
    if (LowerAscii(a[i]) != LowerAscii(b[i])) return false;
  return true;
}

std::string_view TrimBlanks(std::string_view text) {
  while (!text.empty() && (text.front() == ' ' || text.front() == '\t')) text.remove_prefix(1);
  while (!text.empty() && (text.back() == ' ' || text.back() == '\t')) text.remove_suffix(1);
  return text;
}

const std::string* HttpResponse::Find(std::string_view name) const {
  for (const auto& header : headers)
    if (EqualsIgnoreCase(header.first, name)) return &header.second;
  return nullptr;
}

HttpStatus ParseStatusLine(std::string_view line) {
  if (line.substr(0, 5) != "HTTP/") throw Error("Invalid HTTP status line");
  size_t blank = line.find(' ');
  if (blank == std::string_view::npos) throw Error("Invalid HTTP status line");
  std::string_view rest = line.substr(blank);
  while (!rest.empty() && rest.front() == ' ') rest.remove_prefix(1);
  std::string_view code = rest.substr(0, rest.find(' '));
  if (code.size() != 3) throw Error("Invalid HTTP status line");
  HttpStatus status;
  for (char c : code) {
    if (c < '0' || c > '9') throw Error("Invalid HTTP status line");
    status.code = status.code * 10 + (c - '0');
  }
  if (status.code < 100) throw Error("Invalid HTTP status line");
  status.http10 = line.substr(5, 3) == "1.0";
  return status;
}

std::pair<std::string, std::string> ParseHeaderLine(std::string_view line) {
  size_t colon = line.find(':');
  std::string_view name = colon == std::string_view::npos ? "" : TrimBlanks(line.substr(0, colon));
  if (name.empty()) throw Error("Invalid header line in HTTP reply");
  return {std::string(name), std::string(TrimBlanks(line.substr(colon + 1)))};
}

size_t ParseChunkSize(std::string_view line, size_t max_size) {
  line = TrimBlanks(line);
  size_t size = 0;
  size_t digits = 0;
  for (; digits < line.size(); ++digits) {
    int digit = HexDigit(line[digits]);
    if (digit < 0) break;
    if (size > max_size / 16 || static_cast<size_t>(digit) > max_size - size * 16)
      throw Error("Chunk size in HTTP reply larger than the client accepts");
    size = size * 16 + digit;
  }
  if (digits == 0) throw Error("Invalid chunk size in HTTP reply");
  if (digits < line.size()) {
    char next = line[digits];
    if (next != ' ' && next != '\t' && next != ';') throw Error("Invalid chunk size in HTTP reply");
  }
  return size;
}

HttpResponse ReadResponseHead(HttpReader& reader) {
  HttpResponse response;
  // Interim replies (100 Continue, 102, 103, ...) come before the final one and
  // say nothing about it. 101 switches the connection to another protocol: it
  // is final.
  for (size_t interim = 0;; ++interim) {
    if (interim > kMaxHttpInterimReplies)
      throw Error("More than " + std::to_string(kMaxHttpInterimReplies) +
                  " interim replies before the HTTP reply");
    response = HttpResponse();
    auto status_line = reader.ReadLine(kMaxHttpLineLength);
    if (!status_line) throw Error("Connection closed without an HTTP reply");
    response.status_line = *status_line;
    response.status = ParseStatusLine(response.status_line);
    ReadHeaderBlock(reader, response);
    if (response.status.code >= 200 || response.status.code == 101) break;
  }
  return response;
}

HttpResponse ReadResponse(HttpReader& reader, size_t max_body) {
  HttpResponse response = ReadResponseHead(reader);
  if (HasNoBody(response.status.code)) return response;

  // Chunked wins over Content-Length (RFC 7230, 3.3.3): the length is then wrong.
  if (IsChunked(response)) {
    ReadChunkedBody(reader, response, max_body);
  } else if (int64_t length = ContentLength(response, max_body); length >= 0) {
    reader.ReadExact(static_cast<size_t>(length), response.body);
  } else {
    reader.ReadToClose(max_body, response.body);
  }
  return response;
}

}  // namespace tarnwick::net
