#pragma once
// What the Reconnect Options dialog shows and stores (see option_fields.h for
// the pattern): reconnection on or off, the delay and retry limit, the dial
// credentials and the start delay.
#include <functional>
#include <optional>
#include <string>
#include <string_view>

#include "app/settings.h"
#include "ui/option_fields.h"

namespace tarnwick {

inline constexpr SpinRange kStartDelaySpin{1, 300};
inline constexpr const char* kInvalidDialDelayMessage =
    "Invalid dial-up delay. Must be number value";

struct EntryCredentials {
  std::string user;
  std::string password;
};

struct ReconnectForm {
  bool reconnect = false;          // chkReconnect
  std::string delay;               // teDelay
  std::string max_retries;         // teMaxRetries
  std::string user;                // teUserName
  std::string password;            // tePassword
  bool dial_delay = false;         // chkDialDelay
  std::string dial_delay_seconds;  // teDialDelay
  bool operator==(const ReconnectForm&) const = default;
};

enum class ReconnectField { kDelay, kMaxRetries, kDialDelay };

// The delay (`redelay`) and then the retry limit (`maxretries`), each taken as
// it passes; a refusal puts the setting's current value back into its field.
// The Reconnect Options dialog and the welcome wizard check them alike.
std::optional<Refusal<ReconnectField>> TakeReconnectRetries(std::string_view delay,
                                                            std::string_view max_retries,
                                                            Settings& settings);

// The credentials come from the settings, or from the watched entry of the
// phonebook (`phonebook`, asked only then) when `connuser` is empty.
ReconnectForm ReconnectFormFrom(const Settings& settings,
                                const std::function<EntryCredentials()>& phonebook);

// The start delay is refused only when it is not a whole number; 0 or 900 pass.
// The credentials are taken as shown, also when their fields are disabled.
std::optional<Refusal<ReconnectField>> ApplyReconnectForm(const ReconnectForm& form,
                                                          Settings& settings);

}  // namespace tarnwick
