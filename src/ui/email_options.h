#pragma once
// What the email Settings dialog shows and stores: SMTP or the system's mail
// program for every e-mail step, and the SMTP server with its port, security
// and sign-in.
#include <cstdint>
#include <optional>
#include <string>

#include "app/settings.h"
#include "ui/option_fields.h"

namespace tarnwick {

inline constexpr const char* kInvalidSmtpPortMessage =
    "Invalid SMTP port - Enter a number from 1 to 65535.";
inline constexpr const char* kPasswordNeedsTlsMessage =
    "A user name is sent only over an encrypted connection: choose STARTTLS or TLS.";

enum class EmailField { kPort, kSecurity };

struct EmailForm {
  bool smtp = false;  // rbSMTP, else rbMAPI
  std::string host;   // teHost, filled in either case so that switching shows it
  std::string port;
  int32_t security = 0;  // 0 none, 1 STARTTLS, 2 TLS: one of three radio buttons
  std::string user;
  std::string password;
  bool operator==(const EmailForm&) const = default;
};

EmailForm EmailFormFrom(const Settings& settings);

// An empty server name is stored as typed; a port outside 1..65535 and a user
// name without encryption are refused. Choosing MAPI keeps every stored SMTP value.
std::optional<Refusal<EmailField>> ApplyEmailForm(const EmailForm& form, Settings& settings);

}  // namespace tarnwick
