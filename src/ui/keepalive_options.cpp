#include "ui/keepalive_options.h"

#include "app/text_utils.h"

namespace tarnwick {
namespace {

bool TakeInteger(const std::string& text, int32_t& setting) {
  const std::optional<int32_t> value = TryStrToInt(text);
  if (value) setting = *value;
  return value.has_value();
}

}  // namespace

KeepAliveForm KeepAliveFormFrom(const Settings& settings) {
  KeepAliveForm form;
  form.method = settings.kaMethod == kKeepAlivePing  ? kKeepAlivePing
                : settings.kaMethod == kKeepAliveWeb ? kKeepAliveWeb
                                                     : kKeepAliveNone;
  form.ping_host = settings.kaPingHost;
  form.ping_interval = SpinText(settings.kaPingInterval, kKeepAliveIntervalSpin);
  form.web_url = settings.kaWebSite;
  form.web_interval = SpinText(settings.kaWebInterval, kKeepAliveIntervalSpin);
  form.proxy_server = settings.proxyname;
  form.proxy_port = std::to_string(settings.proxyport);
  form.proxy_user = settings.proxyuser;
  form.proxy_password = settings.proxypass;
  return form;
}

std::optional<Refusal<KeepAliveField>> ApplyKeepAliveForm(const KeepAliveForm& form,
                                                          Settings& settings) {
  using R = Refusal<KeepAliveField>;
  if (form.method == kKeepAliveNone) {
    settings.kaMethod = kKeepAliveNone;
  } else if (form.method == kKeepAlivePing) {
    if (form.ping_host.empty()) return R{kNoPingHostMessage, KeepAliveField::kPingHost, {}};
    settings.kaMethod = kKeepAlivePing;
  } else {
    if (form.web_url.empty()) return R{kNoUrlMessage, KeepAliveField::kWebUrl, {}};
    settings.kaMethod = kKeepAliveWeb;
  }
  settings.kaPingHost = form.ping_host;
  if (!TakeInteger(form.ping_interval, settings.kaPingInterval)) {
    return R{kInvalidPingIntervalMessage, KeepAliveField::kPingInterval, {}};
  }
  settings.kaWebSite = form.web_url;
  if (!TakeInteger(form.web_interval, settings.kaWebInterval)) {
    return R{kInvalidWebIntervalMessage, KeepAliveField::kWebInterval, {}};
  }
  settings.proxyname = form.proxy_server;
  if (!TakeInteger(form.proxy_port, settings.proxyport)) {
    return R{kInvalidProxyPortMessage, KeepAliveField::kProxyPort, {}};
  }
  settings.proxyuser = form.proxy_user;
  settings.proxypass = form.proxy_password;
  return std::nullopt;
}

KeepAliveEnables KeepAliveEnablesFor(KeepAliveMethod method) {
  return {method == kKeepAlivePing, method == kKeepAliveWeb};
}

}  // namespace tarnwick
