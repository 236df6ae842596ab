#include "notify/mapi_mail.h"

#include "app/error.h"

namespace tarnwick {
namespace {

std::string Cut(const std::string& text) {
  return text.substr(0, kMapiTextLimit);
}

bool HasBrackets(const std::string& text) {
  return text.find('[') != std::string::npos && text.find(']') != std::string::npos;
}

bool HasABracket(const std::string& text) {
  return text.find_first_of("[]") != std::string::npos;
}

// "[SMTP:joe@example.com]" -> "SMTP:joe@example.com": the first of each bracket goes.
std::string WithoutBrackets(std::string text) {
  text.erase(text.find('['), 1);
  text.erase(text.find(']'), 1);
  return text;
}

}  // namespace

uint32_t TEmail::SendMail() {
  SimpleMapi* mapi = source_ ? source_() : nullptr;
  if (!mapi) throw Error(kMapiUnavailable);
  if (Recipient.size() + CarbonCopy.size() + BlindCopy.size() >= kMapiMaxListEntries) {
    return kMapiTooManyRecipients;
  }
  if (session_ != 0) return Send(*mapi);

  const uint32_t flags =
      (DownLoadFirst ? kMapiForceDownload : 0) | (NewSession ? kMapiNewSession : 0);
  if (mapi->Logon(Profile, Password, flags, session_) != kMapiSuccess &&
      mapi->Logon("", "", flags | kMapiLogonUi, session_) != kMapiSuccess) {
    session_ = 0;
    return kMapiLogonFailure;  // whatever MAPI answered
  }
  // This send logged on, so it logs off, whatever happens in between.
  struct Logoff {
    SimpleMapi& mapi;
    MapiSession& session;
    ~Logoff() {
      mapi.Logoff(session);
      session = 0;
    }
  } logoff{*mapi, session_};
  return Send(*mapi);
}

uint32_t TEmail::Send(SimpleMapi& mapi) {
  MapiMail mail;
  Resolve(mapi, kMapiTo, Recipient, mail.recipients);
  Resolve(mapi, kMapiCc, CarbonCopy, mail.recipients);
  Resolve(mapi, kMapiBcc, BlindCopy, mail.recipients);
  mail.subject = Subject;
  mail.note_text = LongText;
  mail.flags = Acknowledge ? kMapiReceiptRequested : 0;
  // Nobody resolved: MAPI's compose window lets the user finish the message.
  const uint32_t flags = mail.recipients.empty() || ShowDialog ? kMapiDialog : 0;
  return mapi.SendMail(session_, mail, flags);
}

void TEmail::Resolve(SimpleMapi& mapi, MapiRecipientClass recipient_class,
                     std::vector<std::string>& lines, std::vector<MapiRecipient>& entries) {
  for (std::string& line : lines) {
    if (line.empty()) continue;
    const std::string name = Cut(line);
    MapiRecipient resolved;
    uint32_t result = mapi.ResolveName(session_, name, 0, resolved);
    if (result == kMapiUnknownRecipient || result == kMapiAmbiguousRecipient) {
      resolved = MapiRecipient{};
      result = mapi.ResolveName(session_, name, kMapiDialog, resolved);
    }
    if (result != kMapiSuccess) continue;

    MapiRecipient entry;
    entry.recipient_class = recipient_class;
    if (HasBrackets(name) && !HasABracket(resolved.name)) {
      // A one-off address ("[SMTP:joe@example.com]") that MAPI turned into a bare name.
      entry.name = entry.address = WithoutBrackets(name);
    } else {
      entry.name = Cut(resolved.name);
      entry.address = resolved.address.empty() ? entry.name : Cut(resolved.address);
      entry.entry_id = resolved.entry_id;
      line = entry.name;
    }
    entries.push_back(std::move(entry));
  }
}

}  // namespace tarnwick
