#pragma once
// The e-mail step and the method editor's test send through Simple MAPI (when
// `usesmtp` is off): the mail program of the logged-on user delivers the
// message, in one attempt. `eFrom`, `maxretries`, `ReplyToAddress` and
// `emailUser` play no part.
#include <string>

#include "app/message_box.h"
#include "app/settings.h"
#include "notify/mapi_mail.h"
#include "notify/script.h"

namespace tarnwick {

inline constexpr const char* kNoRecipient = "There must be at least one name in the To box.";
inline constexpr const char* kMapiSendFailed = "MAPI Sendmail failed.";
inline constexpr const char* kMapiSendDone = "MAPI Sendmail successful.";

// Sends the step's message through `email`: `ETo` split at ";" into trimmed
// recipient lines, the subject (cut at 255 characters) and the whole body with
// their first "<IPADDRESS>" replaced by `address`. Shows a warning at `box_pos`
// (the main window's top-left corner) for an empty `ETo` or a failed send and
// returns. Throws Error kMapiUnavailable when the system has no Simple MAPI:
// that ends the script run.
StepResult SendMapiMailStep(const Notif& step, const std::string& address, TEmail& email,
                      ScreenPoint box_pos);

// The editor's test send of `fields`: the same, with "MAPI Sendmail successful."
// after a send MAPI accepted; the boxes at `box_pos` (the editor's corner).
void TestSendMapiMail(const EmailNotif& fields, const std::string& address, TEmail& email,
                      ScreenPoint box_pos);

}  // namespace tarnwick
