#pragma once
// The SMTP e-mail step of the notification script and the method editor's test
// send, free of the platform: the caller passes the network, the hello name, the
// clock of the Date header and where message boxes go. The caller sends through
// SMTP only when `usesmtp` is on.
#include <functional>
#include <string>

#include "app/message_box.h"
#include "app/settings.h"
#include "net/line_reader.h"
#include "net/mail_date.h"
#include "net/transport.h"
#include "notify/script.h"

namespace tarnwick {

struct MailDeps {
  net::Network& network;
  std::string local_host;                 // name sent with "ehlo"/"Helo"
  unsigned code_page = 1252;              // of encoded words: the system's ANSI code page
  std::function<net::MailTime()> now;     // local time for the Date header (CurrentMailTime)
  net::Clock clock = net::SteadyClock();  // bounds the wait for each reply
};

// Sends an e-mail step through `settings.SMTPServer`: the subject and body with
// their first "<IPADDRESS>" replaced by `address`, up to `maxretries` + 1
// attempts (0..10), no pause between them. When every attempt failed, shows the
// warning "Error sending message: " + the last error at `box_pos` (the main
// window's top-left corner). Never throws Error: the script goes on afterwards.
// The result names the recipients and the server's last reply, or the error.
StepResult SendMailStep(const Settings& settings, const Notif& step, const std::string& address,
                  const MailDeps& deps, ScreenPoint box_pos);

// The editor's test send of `fields` (no retries). Shows one box at `box_pos`
// (the editor's top-left corner): "Unable to connect to SMTP server. ...",
// "Error sending message." or "Message was sent successfully.".
void TestSendMail(const Settings& settings, const EmailNotif& fields, const std::string& address,
                  const MailDeps& deps, ScreenPoint box_pos);

inline constexpr const char* kSendErrorPrefix = "Error sending message: ";
inline constexpr const char* kTestConnectFailed =
    "Unable to connect to SMTP server.  Check your SMTP server setting in Tarnwick and verify "
    "your Internet connection.";
inline constexpr const char* kTestSendFailed = "Error sending message.";
inline constexpr const char* kTestSendDone = "Message was sent successfully.";

}  // namespace tarnwick
