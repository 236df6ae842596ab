#pragma once
// The page fetch of the keep-alive tick, with the proxy values of the settings.
#include "app/settings.h"
#include "net/http_client.h"

namespace tarnwick::net {

// Gives `client` the settings' proxy: `proxyname`/`proxyport` when `proxyname` is
// set, plus `proxyuser`/`proxypass` when `proxyuser` is set too. Emptied settings
// clear what an earlier call set, so a proxy the user removed is not used again.
void ApplyProxySettings(HttpClient& client, const Settings& settings);

// One keep-alive fetch: applies the proxy values and GETs `kaWebSite`, throwing
// the page away. Throws whatever HttpClient::Get throws.
void FetchKeepAlivePage(HttpClient& client, const Settings& settings);

}  // namespace tarnwick::net
