#pragma once
// A notification step as the editor creates it and as the options list shows it.
#include <string>

#include "app/settings.h"

namespace tarnwick {

inline constexpr const char* kDefaultSubject = "New IP Address: <IPADDRESS>";
inline constexpr const char* kDefaultMessage = "Your new IP Address is: <IPADDRESS>";
inline constexpr int32_t kDefaultFtpPort = 21;
inline constexpr int32_t kDefaultSleepSeconds = 30;

// The values a step starts with in the method editor: an e-mail step with the
// default subject and body, port 21, the page template, a 30-second pause.
Notif NewNotif();

// The line of the options list: "Send email to x", "Upload web page to x",
// "Launch x", "Sleep n seconds.". A step of an unknown kind has no text.
std::string NotifSummary(const Notif& step);

}  // namespace tarnwick
