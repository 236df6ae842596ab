#pragma once
// What the welcome wizard stores when the user goes on from its "DialUp
// Settings" page (see option_fields.h for the pattern). The e-mail page stores
// as the email Settings dialog does (ApplyEmailForm).
#include <optional>
#include <string>

#include "app/settings.h"
#include "ui/reconnect_options.h"

namespace tarnwick {

// The page's controls; the wizard starts from these values, not from the settings.
struct DialUpPageForm {
  std::string connection;  // cbConnections; empty when the phonebook lists nothing
  bool reconnect = false;  // chkReconnect
  std::string delay = "30";
  std::string max_retries = "20";
  std::string user;
  std::string password;
  bool operator==(const DialUpPageForm&) const = default;
};

// The delay and retry checks of the Reconnect Options dialog; then the
// reconnect box and the credentials as shown (also while disabled), and the
// chosen connection becomes the watched one (`conname`).
std::optional<Refusal<ReconnectField>> ApplyDialUpPage(const DialUpPageForm& form,
                                                       Settings& settings);

}  // namespace tarnwick
