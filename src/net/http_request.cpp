#include "net/http_request.h"

#include "app/error.h"

namespace tarnwick::net {
namespace {

// RFC 2045 Base64 on one line, with "=" padding (the Basic credentials).
std::string Base64Encode(std::string_view bytes) {
  static constexpr char kAlphabet[] =
      "ABCDEFGHIJKLMNOPQRSTUVWXYZabcdefghijklmnopqrstuvwxyz0123456789+/";
  std::string out;
  out.reserve((bytes.size() + 2) / 3 * 4);
  size_t i = 0;
  for (; i + 3 <= bytes.size(); i += 3) {
    uint32_t v = static_cast<uint8_t>(bytes[i]) << 16 | static_cast<uint8_t>(bytes[i + 1]) << 8 |
                 static_cast<uint8_t>(bytes[i + 2]);
    for (int shift = 18; shift >= 0; shift -= 6) out += kAlphabet[(v >> shift) & 63];
  }
  if (size_t left = bytes.size() - i; left > 0) {
    uint32_t v = static_cast<uint8_t>(bytes[i]) << 16;
    if (left == 2) v |= static_cast<uint8_t>(bytes[i + 1]) << 8;
    out += kAlphabet[(v >> 18) & 63];
    out += kAlphabet[(v >> 12) & 63];
    out += left == 2 ? kAlphabet[(v >> 6) & 63] : '=';
    out += '=';
  }
  return out;
}

}  // namespace

void RequireSafeUrlText(std::string_view text, const char* what) {
  for (char c : text) {
    auto byte = static_cast<unsigned char>(c);
    if (byte < 0x20 || byte == 0x7F)
      throw Error(std::string(what) + " contains a control character or line break");
  }
}

void RequireNoLineBreak(std::string_view text, const char* what) {
  if (text.find_first_of("\r\n") != std::string_view::npos)
    throw Error(std::string(what) + " contains a line break");
}

std::string BuildGetRequest(const UrlParts& url, const HttpRequestOptions& options) {
  std::string authority = url.host;
  if (!url.port.empty()) authority += ":" + url.port;
  std::string target = url.path + url.document;
  if (options.via_proxy) target = url.protocol + "://" + authority + target;

  std::string request = "GET " + target + " HTTP/1.1\r\n";
  request += "Host: " + authority + "\r\n";
  request += "Accept: " + options.accept + "\r\n";
  request += "User-Agent: " + options.user_agent + "\r\n";
  if (options.via_proxy && !options.proxy_user.empty()) {
    request += "Proxy-Authorization: Basic " +
               Base64Encode(options.proxy_user + ":" + options.proxy_password) + "\r\n";
  }
  request += "\r\n";
  return request;
}

}  // namespace tarnwick::net
