#include "ui/reconnect_options.h"

#include "app/text_utils.h"

namespace tarnwick {

ReconnectForm ReconnectFormFrom(const Settings& settings,
                                const std::function<EntryCredentials()>& phonebook) {
  ReconnectForm form;
  form.reconnect = settings.Reconnect;
  form.delay = SpinText(settings.redelay, kRetryDelaySpin);
  form.max_retries = SpinText(settings.maxretries, kMaxRetriesSpin);
  if (!settings.connuser.empty()) {
    form.user = settings.connuser;
    form.password = settings.connpass;
  } else if (phonebook) {
    EntryCredentials stored = phonebook();
    form.user = std::move(stored.user);
    form.password = std::move(stored.password);
  }
  form.dial_delay = settings.usestartdelay;
  form.dial_delay_seconds = SpinText(settings.startdelay, kStartDelaySpin);
  return form;
}

std::optional<Refusal<ReconnectField>> TakeReconnectRetries(std::string_view delay,
                                                            std::string_view max_retries,
                                                            Settings& settings) {
  if (!TakeRetryDelay(delay, settings.redelay)) {
    return Refusal<ReconnectField>{kInvalidDelayMessage, ReconnectField::kDelay,
                                   std::to_string(settings.redelay)};
  }
  if (!TakeMaxRetries(max_retries, settings.maxretries)) {
    return Refusal<ReconnectField>{kInvalidRetriesMessage, ReconnectField::kMaxRetries,
                                   std::to_string(settings.maxretries)};
  }
  return std::nullopt;
}

std::optional<Refusal<ReconnectField>> ApplyReconnectForm(const ReconnectForm& form,
                                                          Settings& settings) {
  if (auto refusal = TakeReconnectRetries(form.delay, form.max_retries, settings)) return refusal;
  settings.Reconnect = form.reconnect;
  settings.connuser = form.user;
  settings.connpass = form.password;
  settings.usestartdelay = form.dial_delay;
  const std::optional<int32_t> start_delay = TryStrToInt(form.dial_delay_seconds);
  if (!start_delay) {
    return Refusal<ReconnectField>{kInvalidDialDelayMessage, ReconnectField::kDialDelay,
                                   std::nullopt};
  }
  settings.startdelay = *start_delay;
  return std::nullopt;
}

}  // namespace tarnwick
