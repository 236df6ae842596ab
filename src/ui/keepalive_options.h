#pragma once
// What the Keep-Alive Options dialog shows and stores (see option_fields.h for
// the pattern): the method, the ping host and interval, the page and its
// interval, and the HTTP proxy.
#include <cstdint>
#include <optional>
#include <string>

#include "app/settings.h"
#include "ui/option_fields.h"

namespace tarnwick {

inline constexpr SpinRange kKeepAliveIntervalSpin{1, 60};
inline constexpr const char* kNoPingHostMessage = "Please enter the server name to ping";
inline constexpr const char* kNoUrlMessage = "Please enter a URL.";
inline constexpr const char* kInvalidPingIntervalMessage =
    "Invalid ping interval value - Contains non-numeric characters";
inline constexpr const char* kInvalidWebIntervalMessage =
    "Invalid web interval value - Contains non-numeric characters";
inline constexpr const char* kInvalidProxyPortMessage =
    "Invalid proxy port - Contains non-numeric characters";

enum KeepAliveMethod : uint8_t {
  kKeepAliveNone = 0,  // rbKaNone
  kKeepAlivePing = 1,  // rbPing
  kKeepAliveWeb = 2,   // rbWeb
};

struct KeepAliveForm {
  KeepAliveMethod method = kKeepAliveNone;
  std::string ping_host;       // tePHost
  std::string ping_interval;   // tePInterval
  std::string web_url;         // teWebURL
  std::string web_interval;    // teWebInterval
  std::string proxy_server;    // teProxyServer
  std::string proxy_port;      // teProxyPort
  std::string proxy_user;      // teProxyUser
  std::string proxy_password;  // teProxyPassword
  bool operator==(const KeepAliveForm&) const = default;
};

enum class KeepAliveField { kPingHost, kWebUrl, kPingInterval, kWebInterval, kProxyPort };

// A stored method the dialog has no button for sends nothing (the engine pings
// only for 1 and fetches only for 2): it shows as "No Keep-Alive".
KeepAliveForm KeepAliveFormFrom(const Settings& settings);

// The intervals and the port take any whole number; only other text is refused.
std::optional<Refusal<KeepAliveField>> ApplyKeepAliveForm(const KeepAliveForm& form,
                                                          Settings& settings);

// Which of the method's fields are enabled for the chosen method.
struct KeepAliveEnables {
  bool ping = false;  // tePHost, tePInterval
  bool web = false;   // teWebURL, teWebInterval
};
KeepAliveEnables KeepAliveEnablesFor(KeepAliveMethod method);

}  // namespace tarnwick
