#include "net/http_client.h"

#include <gtest/gtest.h>

#include "unit/net/http_fakes.h"

namespace tarnwick::net {
namespace {

using testing::ScriptedNetwork;

constexpr char kOk[] = "HTTP/1.1 200 OK\r\nContent-Length: 5\r\n\r\nhello";

std::string Request(const std::string& target, const std::string& host,
                    const std::string& extra = "") {
  return "GET " + target + " HTTP/1.1\r\nHost: " + host +
         "\r\nAccept: text/html, */*\r\nUser-Agent: Mozilla/3.0 (compatible; Indy Library)\r\n" +
         extra + "\r\n";
}

class HttpClientTest : public ::testing::Test {
 protected:
  ScriptedNetwork net;
  HttpClient client{net, net.clock.AsClock()};

  void UseProxy(const std::string& user = "", const std::string& password = "") {
    client.proxy = {"proxy.lan", 3128, user, password};
  }
};

TEST_F(HttpClientTest, DirectRequestBytesAndPeer) {
  auto server = net.AddServer();
  server->Send(kOk);
  EXPECT_EQ(client.Get("http://host/"), "hello");
  EXPECT_EQ(server->written, Request("/", "host"));
  ASSERT_EQ(net.connects.size(), 1u);
  EXPECT_EQ(net.connects[0].host, "host");
  EXPECT_EQ(net.connects[0].port, 80);
  EXPECT_EQ(net.connects[0].timeout_ms, 30000);
  for (int t : server->read_timeouts) EXPECT_EQ(t, 60000);
}

TEST_F(HttpClientTest, DirectRequestWithPortPathQueryAndFragment) {
  auto server = net.AddServer();
  server->Send(kOk);
  client.Get("http://Example.com:8081/a/b/page.html?x=1#top");
  EXPECT_EQ(server->written, Request("/a/b/page.html?x=1", "Example.com:8081"));
  EXPECT_EQ(net.connects[0].port, 8081);
}

TEST_F(HttpClientTest, ProxyRequestUsesAbsoluteTargetAndBasicCredentials) {
  UseProxy("joe", "s3cret");
  auto server = net.AddServer();
  server->Send(kOk);
  client.Get("http://host/");
  EXPECT_EQ(server->written,
            Request("http://host/", "host", "Proxy-Authorization: Basic am9lOnMzY3JldA==\r\n"));
  EXPECT_EQ(net.connects[0].host, "proxy.lan");
  EXPECT_EQ(net.connects[0].port, 3128);
}

TEST_F(HttpClientTest, ProxyCredentialVariants) {
  UseProxy("joe", "");  // empty password: "joe:"
  auto a = net.AddServer();
  a->Send("HTTP/1.1 200 OK\r\nConnection: close\r\nContent-Length: 0\r\n\r\n");
  client.Get("http://host:8080/x");
  EXPECT_EQ(a->written,
            Request("http://host:8080/x", "host:8080", "Proxy-Authorization: Basic am9lOg==\r\n"));

  UseProxy();  // no user: no credentials
  auto b = net.AddServer();
  b->Send(kOk);
  client.Get("http://host/");
  EXPECT_EQ(b->written, Request("http://host/", "host"));

  client.proxy = {"", 3128, "joe", "s3cret"};  // user without proxy: sent nowhere
  auto c = net.AddServer();
  c->Send(kOk);
  client.Get("http://host/");
  EXPECT_EQ(c->written, Request("/", "host"));
}

TEST_F(HttpClientTest, RefusedInputSendsNothing) {
  EXPECT_THROW(client.Get("host/page.html"), Error);  // no host part
  EXPECT_THROW(client.Get("http://host:99999/"), Error);
  EXPECT_THROW(client.Get("http://host:8o/"), Error);
  EXPECT_THROW(client.Get("http://host/a\r\nX-Injected: 1"), Error);
  EXPECT_THROW(client.Get("http://ho\nst/"), Error);
  client.proxy = {"proxy\r\n", 3128, "", ""};
  EXPECT_THROW(client.Get("http://host/"), Error);
  client.proxy = {"proxy", 0, "", ""};
  EXPECT_THROW(client.Get("http://host/"), Error);
  client.proxy = {"proxy", 3128, "jo\re", "pw"};
  EXPECT_THROW(client.Get("http://host/"), Error);
  EXPECT_TRUE(net.connects.empty());
}

TEST_F(HttpClientTest, PasswordNeverInErrorText) {
  const std::string password = "top\r\nsecret";
  client.proxy = {"proxy", 3128, "joe", password};
  try {
    client.Get("http://host/");
    FAIL() << "line break in the password was accepted";
  } catch (const Error& e) {
    EXPECT_EQ(std::string(e.what()).find("secret"), std::string::npos) << e.what();
  }
  // A refusal by the proxy does not echo the credentials either.
  client.proxy.password = "secret";
  auto server = net.AddServer();
  server->Send("HTTP/1.1 407 Proxy Authentication Required\r\nContent-Length: 0\r\n\r\n");
  try {
    client.Get("http://host/");
    FAIL();
  } catch (const HttpProtocolError& e) {
    EXPECT_EQ(e.code(), 407);
    EXPECT_STREQ(e.what(), "HTTP/1.1 407 Proxy Authentication Required");
  }
}

const std::string kConnect =
    "CONNECT host:443 HTTP/1.1\r\nHost: host:443\r\n"
    "User-Agent: Mozilla/3.0 (compatible; Indy Library)\r\n";

TEST_F(HttpClientTest, HttpsDirectlyOrThroughATunnelOfTheProxy) {
  struct Case {
    const char* url;
    bool proxy;
    const char* peer;  // host:port connected to
    std::string written;
  } cases[] = {
      {"https://host/", false, "host:443", "[TLS]" + Request("/", "host")},
      {"HTTPS://host:8443/p", false, "host:8443", "[TLS]" + Request("/p", "host:8443")},
      // The proxy's credentials go with CONNECT only; the request inside is direct.
      {"https://host/x", true, "proxy.lan:3128",
       kConnect + "Proxy-Authorization: Basic am9lOnMzY3JldA==\r\n\r\n[TLS]" + Request("/x", "host")},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.url);
    ScriptedNetwork n;
    HttpClient http(n, n.clock.AsClock());
    if (c.proxy) http.proxy = {"proxy.lan", 3128, "joe", "s3cret"};
    auto server = n.AddServer();
    if (c.proxy) server->Send("HTTP/1.1 200 Connection established\r\n\r\n");
    server->Send(kOk);
    server->Send(kOk);
    EXPECT_EQ(http.Get(c.url), "hello");
    EXPECT_EQ(server->written, c.written);
    ASSERT_EQ(n.connects.size(), 1u);
    EXPECT_EQ(n.connects[0].host + ":" + std::to_string(n.connects[0].port), c.peer);
    EXPECT_EQ(n.secured, std::vector<std::string>{"host"});
    // The same server again: the open TLS connection serves it.
    server->written.clear();
    EXPECT_EQ(http.Get(c.url), "hello");
    EXPECT_EQ(n.connects.size(), 1u);
    EXPECT_EQ(server->written.rfind("GET ", 0), 0u);
  }
}

TEST_F(HttpClientTest, ATunnelOrCertificateRefusedSendsNothingMore) {
  struct Case {
    std::vector<std::string> proxy_replies;
    const char* tls_refusal;
    const char* error;
  } cases[] = {
      {{"HTTP/1.1 407 Proxy Authentication Required\r\nContent-Length: 0\r\n\r\n"}, "",
       "HTTP/1.1 407 Proxy Authentication Required"},
      {{"HTTP/1.1 200 OK\r\n\r\nHTTP/1.1 200 OK\r\n"}, "",
       "The proxy sent data before the tunnel was open"},
      {{"HTTP/1.1 200 OK\r\n\r\n"}, "The certificate of host was refused: it has expired.",
       "The certificate of host was refused: it has expired."},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.error);
    ScriptedNetwork n;
    n.tls_refusal = c.tls_refusal;
    HttpClient http(n, n.clock.AsClock());
    http.proxy = {"proxy.lan", 3128, "", ""};
    auto server = n.AddServer();
    for (const std::string& reply : c.proxy_replies) server->Send(reply);
    try {
      http.Get("https://host/");
      ADD_FAILURE();
    } catch (const Error& e) {
      EXPECT_STREQ(e.what(), c.error);
    }
    EXPECT_EQ(server->written, kConnect + "\r\n");
    EXPECT_TRUE(server->closed);
    EXPECT_FALSE(http.Connected());
  }
}

struct StatusCase {
  const char* reply;
  int code;  // 0: success
};

TEST_F(HttpClientTest, NonSuccessAndRedirectsAreProtocolErrors) {
  const StatusCase cases[] = {
      {"HTTP/1.1 404 Not Found\r\nContent-Length: 3\r\n\r\nno!", 404},
      {"HTTP/1.1 301 Moved\r\nLocation: http://elsewhere/\r\nContent-Length: 0\r\n\r\n", 301},
      {"HTTP/1.1 302 Found\r\nContent-Length: 0\r\n\r\n", 302},
      {"HTTP/1.1 200 OK\r\nLocation: /other\r\nContent-Length: 2\r\n\r\nhi", 200},
      {"HTTP/1.1 304 Not Modified\r\nContent-Length: 99\r\n\r\n", 304},  // no body follows
      {"HTTP/1.1 500 Oops\r\nTransfer-Encoding: chunked\r\n\r\n0\r\n\r\n", 500},
      {"HTTP/1.1 204 No Content\r\n\r\n", 0},
      {"HTTP/1.1 299 Odd\r\nContent-Length: 0\r\n\r\n", 0},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.reply);
    auto server = net.AddServer();
    server->Send(c.reply);
    // A port in the URL keeps one connection for all cases: each reply must end
    // exactly where the next begins.
    if (c.code == 0) {
      EXPECT_NO_THROW(client.Get("http://host:80/"));
    } else {
      try {
        client.Get("http://host:80/");
        ADD_FAILURE() << "no error";
      } catch (const HttpProtocolError& e) {
        EXPECT_EQ(e.code(), c.code);
        EXPECT_EQ(std::string(e.what()),
                  std::string(c.reply).substr(0, std::string(c.reply).find('\r')));
      }
    }
    EXPECT_TRUE(client.Connected());
    client.Disconnect();
  }
  EXPECT_EQ(net.connects.size(), std::size(cases));  // redirects never followed
}

TEST_F(HttpClientTest, InterimRepliesArePassedOverToTheFinalOne) {
  const std::string next = "HTTP/1.1 200 OK\r\nContent-Length: 4\r\n\r\nnext";
  std::string endless;
  for (size_t i = 0; i <= kMaxHttpInterimReplies; ++i) endless += "HTTP/1.1 100 Continue\r\n\r\n";
  struct {
    std::string replies;
    const char* body;  // null: the fetch fails with `code`
    int code;
    bool stays_open;
  } cases[] = {
      {"HTTP/1.1 100 Continue\r\n\r\n" + std::string(kOk), "hello", 0, true},
      {"HTTP/1.1 102 Processing\r\n\r\nHTTP/1.1 103 Early Hints\r\nLink: </a.css>\r\n\r\n" +
           std::string(kOk),
       "hello", 0, true},
      {"HTTP/1.1 100 Continue\r\n\r\nHTTP/1.1 404 Not Found\r\nContent-Length: 2\r\n\r\nno",
       nullptr, 404, true},
      // Another protocol follows: nothing more on this connection is HTTP.
      {"HTTP/1.1 101 Switching Protocols\r\nUpgrade: x\r\n\r\n\x01\x02", nullptr, 101, false},
      {endless, nullptr, -1, false},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.replies.substr(0, 40));
    auto server = net.AddServer();
    server->Send(c.replies + next);
    try {
      EXPECT_EQ(client.Get("http://host:80/"), c.body ? c.body : "(no body expected)");
    } catch (const HttpProtocolError& e) {
      EXPECT_EQ(e.code(), c.code);
    } catch (const Error& e) {
      EXPECT_EQ(c.code, -1) << e.what();
    }
    EXPECT_EQ(client.Connected(), c.stays_open);
    // The kept connection reads the next reply, not what is left of this one.
    if (c.stays_open) {
      EXPECT_EQ(client.Get("http://host:80/"), "next");
    }
    client.Disconnect();
  }
  EXPECT_EQ(net.connects.size(), std::size(cases));
}

TEST_F(HttpClientTest, BodyForms) {
  struct {
    const char* reply;
    const char* body;
    bool stays_open;
  } cases[] = {
      {"HTTP/1.1 200 OK\r\nContent-Length: 0\r\n\r\n", "", true},
      {"HTTP/1.1 200 OK\r\ncontent-length:  4 \r\n\r\nabcdEXTRA", "abcd", true},
      {"HTTP/1.1 200 OK\r\nTransfer-Encoding: chunked\r\n\r\n"
       "4;name=value\r\nWiki\r\n5 ; x\r\npedia\r\nE\r\n in\r\n\r\nchunks.\r\n0\r\n"
       "Expires: never\r\nX-Trailer: 1\r\n\r\n",
       "Wikipedia in\r\n\r\nchunks.", true},
      {"HTTP/1.1 200 OK\r\nTransfer-Encoding: gzip, Chunked\r\nContent-Length: 1\r\n\r\n"
       "3\r\nabc\r\n0\r\n\r\n",
       "abc", true},
      {"HTTP/1.1 200 OK\r\n\r\nuntil the end", "until the end", false},
      {"HTTP/1.0 200 OK\r\nContent-Length: 2\r\n\r\nhi", "hi", false},
      {"HTTP/1.1 200 OK\r\nConnection:  CLOSE \r\nContent-Length: 2\r\n\r\nhi", "hi", false},
      {"HTTP/1.1 200 OK\nContent-Length: 2\n\nhi", "hi", true},  // bare LF line ends
      {"HTTP/1.1 200 OK\r\nX-Long: a\r\n  b\r\nContent-Length: 1\r\n\r\n!", "!", true},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.reply);
    auto server = net.AddServer();
    server->Send(c.reply).Close();
    EXPECT_EQ(client.Get("http://host:80/"), c.body);
    EXPECT_EQ(client.Connected(), c.stays_open);
    EXPECT_EQ(server->closed, !c.stays_open);
    client.Disconnect();
  }
}

TEST_F(HttpClientTest, RepliesSplitAtEveryBytePosition) {
  const std::string reply =
      "HTTP/1.1 200 OK\r\nTransfer-Encoding: chunked\r\nX-A: b\r\n\r\n"
      "a;ext=\"1\"\r\n0123456789\r\n3\r\nxyz\r\n0\r\nTrailer: t\r\n\r\n";
  const std::string second = "HTTP/1.1 200 OK\r\nContent-Length: 3\r\n\r\nend";
  for (size_t split = 1; split < reply.size(); ++split) {
    SCOPED_TRACE(split);
    auto server = net.AddServer();
    server->Send(reply.substr(0, split)).Send(reply.substr(split) + second);
    EXPECT_EQ(client.Get("http://host:80/"), "0123456789xyz");
    EXPECT_EQ(client.Get("http://host:80/"), "end");
    client.Disconnect();
  }
  auto server = net.AddServer();  // one byte per read
  for (char c : reply) server->Send(std::string(1, c));
  EXPECT_EQ(client.Get("http://host:80/"), "0123456789xyz");
}

TEST_F(HttpClientTest, MalformedOrTruncatedRepliesFail) {
  const std::string big = std::to_string(kMaxHttpBodyBytes + 1);
  const std::string long_line(kMaxHttpLineLength + 1, 'x');
  std::string many_headers = "HTTP/1.1 200 OK\r\n";
  for (size_t i = 0; i <= kMaxHttpHeaderLines; ++i) many_headers += "X: y\r\n";
  const std::string cases[] = {
      "",                                    // closed without a status line
      "HTTP/1.1 200 OK\r\nContent-Len",      // closed inside the header lines
      "ICY 200 OK\r\n\r\n",                  // not HTTP
      "HTTP/1.1 2000 OK\r\n\r\n",            // bad code
      "HTTP/1.1\r\n\r\n",                    // no code
      "HTTP/1.1 200 OK\r\nNoColon\r\n\r\n",  // bad header line
      "HTTP/1.1 200 OK\r\nContent-Length: 10\r\n\r\nshort",
      "HTTP/1.1 200 OK\r\nContent-Length: -1\r\n\r\n",
      "HTTP/1.1 200 OK\r\nContent-Length: 2\r\nContent-Length: 3\r\n\r\nabc",
      "HTTP/1.1 200 OK\r\nContent-Length: " + big + "\r\n\r\n",
      "HTTP/1.1 200 OK\r\nTransfer-Encoding: chunked\r\n\r\nzz\r\n",
      "HTTP/1.1 200 OK\r\nTransfer-Encoding: chunked\r\n\r\n5\r\nabc",
      "HTTP/1.1 200 OK\r\nTransfer-Encoding: chunked\r\n\r\n3\r\nabcX\r\n0\r\n\r\n",
      "HTTP/1.1 200 OK\r\nTransfer-Encoding: chunked\r\n\r\n3\r\nabc\r\n",  // no last chunk
      "HTTP/1.1 200 OK\r\nTransfer-Encoding: chunked\r\n\r\nFFFFFFFFFFFFFFFFFFFF\r\n",
      "HTTP/1.1 200 OK\r\n\r\n" + std::string(kMaxHttpBodyBytes + 1, 'b'),
      "HTTP/1.1 200 OK\r\n" + long_line + "\r\n\r\n",
      many_headers + "\r\n",
  };
  for (const auto& reply : cases) {
    SCOPED_TRACE(reply.substr(0, 80));
    auto server = net.AddServer();
    server->Send(reply).Close();
    EXPECT_THROW(client.Get("http://host:80/"), Error);
    EXPECT_FALSE(client.Connected());
    EXPECT_TRUE(server->closed);
  }
}

TEST_F(HttpClientTest, StalledServerTimesOutInVirtualTime) {
  auto server = net.AddServer();
  server->Send("HTTP/1.1 200 OK\r\nContent-Length: 10\r\n\r\nabc");  // then silence
  int64_t start = net.clock.now;
  try {
    client.Get("http://host/");
    FAIL() << "a stalled reply counted as success";
  } catch (const SocketError& e) {
    EXPECT_EQ(e.code(), 10060);
  }
  EXPECT_EQ(net.clock.now - start, kHttpReadTimeoutMs);
  EXPECT_FALSE(client.Connected());
}

TEST_F(HttpClientTest, TricklingServerEndsAtTheReplyDeadline) {
  auto server = net.AddServer();
  server->Send("HTTP/1.1 200 OK\r\n\r\n");
  for (int i = 0; i < 100; ++i) server->Send("x", kHttpReadTimeoutMs - 1000);
  int64_t start = net.clock.now;
  EXPECT_THROW(client.Get("http://host/"), SocketError);
  EXPECT_LE(net.clock.now - start, kHttpReplyDeadlineMs);
  EXPECT_GE(net.clock.now - start, kHttpReplyDeadlineMs - kHttpReadTimeoutMs);
  for (int t : server->read_timeouts) EXPECT_LE(t, kHttpReadTimeoutMs);
}

TEST_F(HttpClientTest, RefusedAndResetConnectionsRaiseSocketErrors) {
  EXPECT_THROW(client.Get("http://host/"), SocketError);  // nothing listening
  auto server = net.AddServer();
  server->Send("HTTP/1.1 200 OK\r\n").Fail();
  EXPECT_THROW(client.Get("http://host/"), SocketError);
  EXPECT_FALSE(client.Connected());
}

TEST_F(HttpClientTest, DirectReuseNeedsSameHostAndExplicitSamePort) {
  auto first = net.AddServer();
  first->Send(kOk).Send(kOk).Send(kOk);
  client.Get("http://host:8080/a");
  client.Get("http://HOST:8080/b");  // same host in another case, same port: reused
  EXPECT_EQ(net.connects.size(), 1u);

  auto second = net.AddServer();
  second->Send(kOk);
  client.Get("http://host/");  // no port named: always a new connection
  EXPECT_TRUE(first->closed);
  EXPECT_EQ(net.connects.size(), 2u);

  auto third = net.AddServer();
  third->Send(kOk);
  client.Get("http://other:80/");  // another host
  EXPECT_TRUE(second->closed);
  EXPECT_EQ(net.connects.size(), 3u);
}

TEST_F(HttpClientTest, ProxyConnectionServesAnyUrlUntilTheProxyClosesIt) {
  UseProxy();
  auto first = net.AddServer();
  first->Send(kOk).Send(kOk).Close();  // the proxy closes while idle
  client.Get("http://a/");
  client.Get("http://b:81/");
  EXPECT_EQ(net.connects.size(), 1u);
  EXPECT_EQ(first->written, Request("http://a/", "a") + Request("http://b:81/", "b:81"));

  EXPECT_THROW(client.Get("http://c/"), Error);  // fails on the stale connection
  auto second = net.AddServer();
  second->Send(kOk);
  EXPECT_EQ(client.Get("http://c/"), "hello");  // the next one connects anew
  EXPECT_EQ(net.connects.size(), 2u);
}

TEST_F(HttpClientTest, DirectConnectionIsNotReusedForTheProxy) {
  auto direct = net.AddServer();
  direct->Send(kOk);
  client.Get("http://host:80/");
  UseProxy("joe", "s3cret");
  auto proxy = net.AddServer();
  proxy->Send(kOk);
  client.Get("http://host:80/");
  EXPECT_EQ(direct->written, Request("/", "host:80"));  // credentials never went there
  EXPECT_TRUE(direct->closed);
  EXPECT_EQ(net.connects.back().host, "proxy.lan");
}

}  // namespace
}  // namespace tarnwick::net
