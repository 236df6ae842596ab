#include "notify/mapi_step.h"

#include "app/text_utils.h"
#include "notify/placeholder.h"

namespace tarnwick {
namespace {

// Fills `email` from the fields and sends; false after a warning about the To box.
bool Send(const EmailNotif& fields, const std::string& address, TEmail& email, ScreenPoint box_pos,
          uint32_t& result) {
  const std::string subject = ReplaceFirstPlaceholder(fields.esubject, address);
  const std::string body = ReplaceFirstPlaceholder(fields.emessage, address);
  if (fields.ETo.empty()) {
    ShowWarning(kNoRecipient, box_pos);
    return false;
  }
  // A trailing ";" leaves an empty line, which resolution passes over.
  email.Recipient.clear();
  int count = 0;
  SplitList(fields.ETo, email.Recipient, count);
  email.LongText = body;
  email.Subject = subject.substr(0, kMapiTextLimit);
  result = email.SendMail();
  return true;
}

}  // namespace

StepResult SendMapiMailStep(const Notif& step, const std::string& address, TEmail& email,
                            ScreenPoint box_pos) {
  const std::string to = "to " + step.emailNotifr.ETo + " through the mail client";
  uint32_t result = kMapiSuccess;
  if (!Send(step.emailNotifr, address, email, box_pos, result)) {
    return {false, to + ": " + kNoRecipient};
  }
  if (result != kMapiSuccess) {
    ShowWarning(kMapiSendFailed, box_pos);
    return {false, to + ": " + kMapiSendFailed + " (" + std::to_string(result) + ")"};
  }
  return {true, to};
}

void TestSendMapiMail(const EmailNotif& fields, const std::string& address, TEmail& email,
                      ScreenPoint box_pos) {
  uint32_t result = kMapiSuccess;
  if (!Send(fields, address, email, box_pos, result)) return;
  ShowWarning(result == kMapiSuccess ? kMapiSendDone : kMapiSendFailed, box_pos);
}

}  // namespace tarnwick
