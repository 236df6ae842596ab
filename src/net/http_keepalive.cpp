#include "net/http_keepalive.h"

namespace tarnwick::net {

void ApplyProxySettings(HttpClient& client, const Settings& settings) {
  client.proxy = HttpProxy{};
  if (settings.proxyname.empty()) return;
  client.proxy.server = settings.proxyname;
  client.proxy.port = settings.proxyport;
  if (settings.proxyuser.empty()) return;
  client.proxy.user = settings.proxyuser;
  client.proxy.password = settings.proxypass;
}

void FetchKeepAlivePage(HttpClient& client, const Settings& settings) {
  ApplyProxySettings(client, settings);
  client.Get(settings.kaWebSite);
}

}  // namespace tarnwick::net
