#pragma once
// The GET request of the web fetch, byte for byte.
#include <cstdint>
#include <string>
#include <string_view>

#include "net/url_split.h"

namespace tarnwick::net {

inline constexpr char kHttpAccept[] = "text/html, */*";
inline constexpr char kHttpUserAgent[] = "Mozilla/3.0 (compatible; Indy Library)";

struct HttpRequestOptions {
  std::string accept = kHttpAccept;
  std::string user_agent = kHttpUserAgent;
  bool via_proxy = false;  // absolute-form request target
  std::string proxy_user;  // Proxy-Authorization is sent when via_proxy and this is set
  std::string proxy_password;
};

// Throws Error when a field that goes into a request line holds a byte that could
// end or split the line (CR, LF and the other control characters; CR and LF only
// for the credentials, which travel Base64-encoded). `what` names the field; the
// value itself is never part of the message.
void RequireSafeUrlText(std::string_view text, const char* what);
void RequireNoLineBreak(std::string_view text, const char* what);

// "GET <target> HTTP/1.1", Host, Accept, User-Agent, [Proxy-Authorization], blank
// line; each line ended by CR LF.
std::string BuildGetRequest(const UrlParts& url, const HttpRequestOptions& options);

// "CONNECT host:port HTTP/1.1", Host, User-Agent, [Proxy-Authorization], blank line.
std::string BuildConnectRequest(const std::string& host, uint16_t port,
                                const HttpRequestOptions& options);

}  // namespace tarnwick::net
