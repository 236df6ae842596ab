#include "net/http_keepalive.h"

#include <gtest/gtest.h>

#include "unit/net/http_fakes.h"

namespace tarnwick::net {
namespace {

TEST(FetchKeepAlivePage, UsesTheSettingsProxyAndFollowsItsRemoval) {
  testing::ScriptedNetwork net;
  HttpClient client(net, net.clock.AsClock());
  Settings settings;
  settings.kaWebSite = "http://www.example.org/";
  settings.proxyname = "gate";
  settings.proxyport = 8000;
  settings.proxyuser = "joe";
  settings.proxypass = "pw";

  const char kReply[] = "HTTP/1.1 200 OK\r\nConnection: close\r\nContent-Length: 0\r\n\r\n";
  net.AddServer()->Send(kReply);
  FetchKeepAlivePage(client, settings);
  EXPECT_EQ(net.connects.back().host, "gate");
  EXPECT_EQ(net.connects.back().port, 8000);
  EXPECT_EQ(client.proxy.user, "joe");

  settings.proxyuser.clear();
  auto server = net.AddServer();
  server->Send(kReply);
  FetchKeepAlivePage(client, settings);
  EXPECT_EQ(server->written.find("Proxy-Authorization"), std::string::npos);

  settings.proxyname.clear();
  net.AddServer()->Send(kReply);
  FetchKeepAlivePage(client, settings);
  EXPECT_EQ(net.connects.back().host, "www.example.org");
  EXPECT_EQ(net.connects.back().port, 80);
}

}  // namespace
}  // namespace tarnwick::net
