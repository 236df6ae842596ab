#include "net/http_client.h"

#include <optional>

namespace tarnwick::net {

struct HttpClient::Connection {
  Connection(std::unique_ptr<Stream> s, const HttpClock& clock, std::string h, uint16_t p,
             std::string o)
      : stream(std::move(s)),
        reader(*stream, kHttpReadTimeoutMs, clock),
        host(std::move(h)),
        port(p),
        tls_origin(std::move(o)) {}
  std::unique_ptr<Stream> stream;
  HttpReader reader;
  std::string host;
  uint16_t port;
  // "host:port" of the server TLS was made with (and the proxy credentials of
  // its tunnel); empty: none. Never shown.
  std::string tls_origin;
};

namespace {

std::optional<uint16_t> ParsePort(std::string_view text) {
  if (text.empty() || text.size() > 5) return std::nullopt;
  int value = 0;
  for (char c : text) {
    if (c < '0' || c > '9') return std::nullopt;
    value = value * 10 + (c - '0');
  }
  if (value < 1 || value > 65535) return std::nullopt;
  return static_cast<uint16_t>(value);
}

bool IsRedirect(const HttpResponse& response) {
  int code = response.status.code;
  return response.Find("Location") != nullptr || (code >= 300 && code < 400 && code != 304);
}

}  // namespace

HttpClient::HttpClient(Network& network, HttpClock clock)
    : network_(network), clock_(std::move(clock)) {}

HttpClient::~HttpClient() {
  Disconnect();
}

void HttpClient::Disconnect() {
  if (!connection_) return;
  try {
    connection_->stream->Close();
  } catch (...) {
    // Closing is best effort; the stream is released either way.
  }
  connection_.reset();
}

void HttpClient::ConnectTo(const std::string& host, uint16_t port, const TlsTarget* tls) {
  // A tunnel stands for the credentials it was opened with: other ones need a new CONNECT.
  std::string origin = tls ? tls->host + ":" + std::to_string(tls->port) : "";
  if (tls && tls->tunnel) origin += " " + proxy.user + ":" + proxy.password;
  if (connection_ && (connection_->reader.PeerClosed() || connection_->port != port ||
                      !EqualsIgnoreCase(connection_->host, host) ||
                      !EqualsIgnoreCase(connection_->tls_origin, origin)))
    Disconnect();
  if (connection_) return;
  std::unique_ptr<Stream> stream = network_.Connect(host, port, kConnectTimeoutMs);
  if (tls) {
    if (tls->tunnel) OpenTunnel(*stream, *tls);
    stream = network_.Secure(std::move(stream), tls->host);
  }
  connection_ = std::make_unique<Connection>(std::move(stream), clock_, host, port, origin);
}

void HttpClient::OpenTunnel(Stream& stream, const TlsTarget& tls) {
  HttpRequestOptions options;
  options.user_agent = user_agent;
  options.proxy_user = proxy.user;
  options.proxy_password = proxy.password;
  try {
    stream.Write(BuildConnectRequest(tls.host, tls.port, options));
    HttpReader reader(stream, kHttpReadTimeoutMs, clock_);
    reader.SetDeadline(clock_() + kHttpReplyDeadlineMs);
    const HttpResponse response = ReadResponseHead(reader);
    if (response.status.code < 200 || response.status.code > 299)
      throw HttpProtocolError(response.status.code, response.status_line);
    // The server's first bytes cannot come before the client's hello.
    if (reader.Buffered() > 0) throw Error("The proxy sent data before the tunnel was open");
  } catch (...) {
    stream.Close();
    throw;
  }
}

std::string HttpClient::Get(const std::string& url) {
  RequireSafeUrlText(url, "URL");
  RequireNoLineBreak(accept, "Accept value");
  RequireNoLineBreak(user_agent, "User agent");
  UrlParts parts = SplitUrl(url);
  if (parts.host.empty()) throw Error("No host in URL");
  std::optional<uint16_t> url_port;
  if (!parts.port.empty() && !(url_port = ParsePort(parts.port)))
    throw Error("Invalid port in URL");
  const bool https = EqualsIgnoreCase(parts.protocol, "https");

  HttpRequestOptions options;
  options.accept = accept;
  options.user_agent = user_agent;
  std::string peer_host;
  uint16_t peer_port = 0;
  if (!proxy.server.empty()) {
    RequireSafeUrlText(proxy.server, "Proxy server");
    RequireNoLineBreak(proxy.user, "Proxy user name");
    RequireNoLineBreak(proxy.password, "Proxy password");
    if (proxy.port < 1 || proxy.port > 65535) throw Error("Invalid proxy port");
    options.via_proxy = true;
    options.proxy_user = proxy.user;
    options.proxy_password = proxy.password;
    peer_host = proxy.server;
    peer_port = static_cast<uint16_t>(proxy.port);
  } else {
    // Only a URL that names the open connection's port keeps it.
    if (connection_ && !url_port && !https) Disconnect();
    peer_host = parts.host;
    peer_port = url_port.value_or(https ? 443 : 80);
  }
  std::optional<TlsTarget> tls;
  if (https) {
    // Through a proxy the page comes through a CONNECT tunnel, and the request
    // inside it is the one a server gets directly.
    tls = TlsTarget{parts.host, url_port.value_or(443), options.via_proxy};
    options.via_proxy = false;
  }
  std::string request = BuildGetRequest(parts, options);

  ConnectTo(peer_host, peer_port, tls ? &*tls : nullptr);
  HttpResponse response;
  try {
    connection_->stream->Write(request);
    connection_->reader.SetDeadline(clock_() + kHttpReplyDeadlineMs);
    response = ReadResponse(connection_->reader, max_body_bytes);
  } catch (...) {
    // Whatever is left of the reply would be read as the next one.
    Disconnect();
    throw;
  }

  const std::string* connection_header = response.Find("Connection");
  // After 101 the connection no longer speaks HTTP.
  if (response.status.http10 || response.status.code < 200 || connection_->reader.PeerClosed() ||
      (connection_header && EqualsIgnoreCase(TrimBlanks(*connection_header), "close")))
    Disconnect();

  if (IsRedirect(response) || response.status.code < 200 || response.status.code > 299)
    throw HttpProtocolError(response.status.code, response.status_line);
  return std::move(response.body);
}

}  // namespace tarnwick::net
