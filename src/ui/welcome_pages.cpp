#include "ui/welcome_pages.h"

namespace tarnwick {

std::optional<Refusal<ReconnectField>> ApplyDialUpPage(const DialUpPageForm& form,
                                                       Settings& settings) {
  if (auto refusal = TakeReconnectRetries(form.delay, form.max_retries, settings)) return refusal;
  settings.Reconnect = form.reconnect;
  settings.connuser = form.user;
  settings.connpass = form.password;
  // With nothing to choose from, the watched entry stays as it was.
  if (!form.connection.empty()) settings.conname = form.connection;
  return std::nullopt;
}

}  // namespace tarnwick
