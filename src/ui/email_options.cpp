#include "ui/email_options.h"

namespace tarnwick {

EmailForm EmailFormFrom(const Settings& settings) {
  return {settings.usesmtp,  settings.SMTPServer, std::to_string(settings.SMTPPort),
          settings.SMTPSecurity, settings.SMTPUser,   settings.SMTPPass};
}

std::optional<Refusal<EmailField>> ApplyEmailForm(const EmailForm& form, Settings& settings) {
  settings.usesmtp = form.smtp;
  if (!form.smtp) return std::nullopt;
  settings.SMTPServer = form.host;
  const auto port = IntegerIn(form.port, 1, 65535);
  if (!port) {
    return Refusal<EmailField>{kInvalidSmtpPortMessage, EmailField::kPort,
                               std::to_string(settings.SMTPPort)};
  }
  settings.SMTPPort = *port;
  if (!form.user.empty() && form.security == 0) {
    return Refusal<EmailField>{kPasswordNeedsTlsMessage, EmailField::kSecurity, std::nullopt};
  }
  settings.SMTPSecurity = form.security;
  settings.SMTPUser = form.user;
  settings.SMTPPass = form.password;
  return std::nullopt;
}

}  // namespace tarnwick
