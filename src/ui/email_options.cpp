#include "ui/email_options.h"

namespace tarnwick {

EmailForm EmailFormFrom(const Settings& settings) {
  return {settings.usesmtp, settings.SMTPServer};
}

void ApplyEmailForm(const EmailForm& form, Settings& settings) {
  settings.usesmtp = form.smtp;
  if (form.smtp) settings.SMTPServer = form.host;
}

}  // namespace tarnwick
