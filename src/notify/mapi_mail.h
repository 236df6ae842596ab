#pragma once
// The mail component `TEmail` as far as sending uses it: logon (with MAPI's own
// logon dialog as the fall-back), resolution of every recipient line (with
// MAPI's pick dialog for a name it does not know or cannot tell apart), the
// hand-over of the message and the logoff. MAPI's dialogs are modal: a send
// waits for the user.
#include <cstdint>
#include <functional>
#include <string>
#include <vector>

#include "notify/mapi.h"

namespace tarnwick {

// The system's Simple MAPI, or null when the system has none. May throw Error
// (a mail library without the functions a send needs).
using MapiSource = std::function<SimpleMapi*()>;

// Lines, names and addresses are handled up to this many characters.
inline constexpr size_t kMapiTextLimit = 255;
// As many list entries as the component's recipient table can hold.
inline constexpr size_t kMapiMaxListEntries = 89478486;

class TEmail {
 public:
  explicit TEmail(MapiSource source) : source_(std::move(source)) {}

  std::vector<std::string> Recipient;  // one recipient per line
  std::vector<std::string> CarbonCopy;
  std::vector<std::string> BlindCopy;
  std::string Subject;
  std::string LongText;  // the body, whatever its length
  std::string Profile;
  std::string Password;
  bool ShowDialog = false;
  bool Acknowledge = false;
  bool DownLoadFirst = false;
  bool NewSession = false;

  // Sends the message; returns MAPI's result (0 success, 3 when both logons
  // failed, 10 for too many recipients). A line MAPI cannot resolve is left
  // out; with none left MAPI opens its compose window. Resolved lines are
  // replaced by MAPI's display names. Throws Error kMapiUnavailable when the
  // system has no Simple MAPI.
  uint32_t SendMail();

 private:
  uint32_t Send(SimpleMapi& mapi);
  void Resolve(SimpleMapi& mapi, MapiRecipientClass recipient_class,
               std::vector<std::string>& lines, std::vector<MapiRecipient>& entries);

  MapiSource source_;
  MapiSession session_ = 0;
};

}  // namespace tarnwick
