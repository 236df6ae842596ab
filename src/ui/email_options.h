#pragma once
// What the email Settings dialog shows and stores: SMTP or the system's mail
// program for every e-mail step, and the SMTP server's name.
#include <string>

#include "app/settings.h"

namespace tarnwick {

struct EmailForm {
  bool smtp = false;  // rbSMTP, else rbMAPI
  std::string host;   // teHost, filled in either case so that switching shows it
  bool operator==(const EmailForm&) const = default;
};

EmailForm EmailFormFrom(const Settings& settings);

// Nothing is refused: an empty server name is stored as typed. Choosing MAPI
// keeps the stored server name.
void ApplyEmailForm(const EmailForm& form, Settings& settings);

}  // namespace tarnwick
