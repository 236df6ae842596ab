#pragma once
// The web-fetch client of the keep-alive (the main window's `IdHTTP1`): one
// HTTP/1.1 GET, directly or through a proxy, over a net::Network. It lives as
// long as the main window, so a connection the server leaves open serves the next
// fetch where the reuse rules below allow it.
//
// Waits: connecting at most kConnectTimeoutMs, each read at most
// kHttpReadTimeoutMs and the whole reply at most kHttpReplyDeadlineMs; the Winsock network
// processes window messages while it waits, so Get must only be called where re-entry is prevented
// (the keep-alive tick turns its timer off first).
#include <cstdint>
#include <memory>
#include <string>

#include "app/error.h"
#include "net/http_reader.h"
#include "net/http_request.h"
#include "net/http_response.h"
#include "net/transport.h"

namespace tarnwick::net {

// A server that keeps trickling bytes must not hold the keep-alive tick for ever;
// five minutes carry the largest accepted body over a slow dial-up link.
inline constexpr int kHttpReplyDeadlineMs = 5 * 60 * 1000;

// A reply that is not a plain success: any code outside 2xx, every 3xx but 304,
// and any reply with a Location header (redirects are not followed). The message
// is the status line.
class HttpProtocolError : public Error {
 public:
  HttpProtocolError(int code, const std::string& status_line) : Error(status_line), code_(code) {}
  int code() const { return code_; }

 private:
  int code_;
};

struct HttpProxy {
  std::string server;  // empty: fetch directly
  int32_t port = 0;
  std::string user;  // empty: no Proxy-Authorization
  std::string password;
};

class HttpClient {
 public:
  explicit HttpClient(Network& network, HttpClock clock = SteadyHttpClock());
  ~HttpClient();
  HttpClient(const HttpClient&) = delete;
  HttpClient& operator=(const HttpClient&) = delete;

  std::string accept = kHttpAccept;
  std::string user_agent = kHttpUserAgent;
  HttpProxy proxy;
  size_t max_body_bytes = kMaxHttpBodyBytes;

  // Fetches `url` and returns the body of a 2xx reply. Throws HttpProtocolError
  // for other replies (a proxy's refusal of CONNECT too), SocketError for
  // network failures and Error for refused input (a URL without a host, control
  // characters, a bad port), a refused certificate and malformed or oversized
  // replies; input errors are raised before anything is sent.
  //
  // "https": TLS with the URL's host verified, directly (port 443 unless the
  // URL names one) or through a CONNECT tunnel of the proxy (with its Basic
  // authorization); the GET inside is the direct one.
  //
  // Connection reuse: fetching directly, an open connection serves the next
  // fetch only when that URL names the same host (any letter case) and
  // explicitly the same port; through a proxy, when it leads to that proxy. A
  // connection is reused only for the same TLS server. A
  // connection is dropped after a 1.0 reply, "Connection: close", a peer close
  // or any failure in the middle of an exchange.
  std::string Get(const std::string& url);

  bool Connected() const { return connection_ != nullptr; }
  void Disconnect();

 private:
  struct Connection;
  struct TlsTarget {
    std::string host;  // the name the certificate must carry
    uint16_t port;
    bool tunnel;  // through the proxy with CONNECT
  };
  void ConnectTo(const std::string& host, uint16_t port, const TlsTarget* tls);
  void OpenTunnel(Stream& stream, const TlsTarget& tls);

  Network& network_;
  HttpClock clock_;
  std::unique_ptr<Connection> connection_;
};

}  // namespace tarnwick::net
