#include "net/http_request.h"

#include "app/error.h"
#include "net/base64.h"

namespace tarnwick::net {
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

namespace {

std::string ProxyAuthorization(const HttpRequestOptions& options) {
  if (options.proxy_user.empty()) return "";
  return "Proxy-Authorization: Basic " +
         Base64Encode(options.proxy_user + ":" + options.proxy_password) + "\r\n";
}

}  // namespace

std::string BuildConnectRequest(const std::string& host, uint16_t port,
                                const HttpRequestOptions& options) {
  const std::string authority = host + ":" + std::to_string(port);
  return "CONNECT " + authority + " HTTP/1.1\r\nHost: " + authority +
         "\r\nUser-Agent: " + options.user_agent + "\r\n" + ProxyAuthorization(options) + "\r\n";
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
  if (options.via_proxy) request += ProxyAuthorization(options);
  request += "\r\n";
  return request;
}

}  // namespace tarnwick::net
