#include "notify/smtp_step.h"

#include <algorithm>

#include "notify/placeholder.h"
#include "net/smtp_client.h"

namespace tarnwick {

using net::MailMessage;
using net::ParseRecipients;
using net::SmtpClient;
using net::SplitBodyLines;

namespace {

inline constexpr int kMaxRetries = 10;

MailMessage BuildMessage(const EmailNotif& fields, const std::string& address,
                         const MailDeps& deps) {
  MailMessage message;
  message.from = fields.eFrom;
  message.to = ParseRecipients(fields.ETo);
  message.subject = ReplaceFirstPlaceholder(fields.esubject, address);
  message.body = SplitBodyLines(ReplaceFirstPlaceholder(fields.emessage, address));
  message.code_page = deps.code_page;
  CheckMessage(message);
  return message;
}

// The submission options of the settings. Values no dialog can store are
// refused rather than guessed: a guess could send the password in clear text.
net::SmtpOptions SubmissionOptions(const Settings& settings) {
  if (settings.SMTPPort < 1 || settings.SMTPPort > 65535) {
    throw Error("Invalid SMTP port: " + std::to_string(settings.SMTPPort));
  }
  if (settings.SMTPSecurity < 0 || settings.SMTPSecurity > 2) {
    throw Error("Invalid SMTP security setting: " + std::to_string(settings.SMTPSecurity));
  }
  return {static_cast<uint16_t>(settings.SMTPPort),
          static_cast<net::SmtpSecurity>(settings.SMTPSecurity), settings.SMTPUser,
          settings.SMTPPass};
}

bool PlainSubmission(const Settings& settings) {
  return settings.SMTPPort == net::kSmtpPort && settings.SMTPSecurity == 0 &&
         settings.SMTPUser.empty();
}

// Connects; on failure closes whatever is open and connects once more. This is
// also what recovers a connection left open by a failed send.
void ConnectWithSecondTry(SmtpClient& client) {
  try {
    client.Connect();
  } catch (const Error&) {
    client.Disconnect();
    client.Connect();
  }
}

}  // namespace

StepResult SendMailStep(const Settings& settings, const Notif& step, const std::string& address,
                        const MailDeps& deps, ScreenPoint box_pos) {
  const std::string to = "to " + step.emailNotifr.ETo + " through " + settings.SMTPServer;
  MailMessage message;
  try {
    message = BuildMessage(step.emailNotifr, address, deps);
  } catch (const Error& e) {
    ShowWarning(kSendErrorPrefix + std::string(e.what()), box_pos);
    return {false, to + ": " + e.what()};
  }
  SmtpClient client(deps.network, deps.local_host, deps.clock);
  client.SetHost(settings.SMTPServer);
  try {
    client.SetOptions(SubmissionOptions(settings));
  } catch (const Error& e) {
    ShowWarning(kSendErrorPrefix + std::string(e.what()), box_pos);
    return {false, to + ": " + e.what()};
  }
  // Stored values outside the editor's range must not turn into endless retries.
  const int retries = std::clamp(step.emailNotifr.maxretries, 0, kMaxRetries);
  std::string last_error;
  std::string reply;
  bool sent = false;
  for (int attempts = 0; !sent && attempts <= retries; ++attempts) {
    try {
      ConnectWithSecondTry(client);
    } catch (const Error& e) {
      last_error = e.what();
      continue;
    }
    try {
      message.date = FormatMailDate(deps.now());
      const net::Reply accepted = client.Send(message);
      reply = std::to_string(accepted.code);
      if (!accepted.lines.empty()) reply += " " + accepted.Text();
    } catch (const Error& e) {
      last_error = e.what();
      continue;
    }
    client.Disconnect();
    sent = true;
  }
  // A failed last attempt may leave the connection open; it is not kept past the step.
  client.Disconnect();
  if (!sent) {
    ShowWarning(kSendErrorPrefix + last_error, box_pos);
    return {false, to + ": " + last_error};
  }
  return {true, to + ": " + reply};
}

void TestSendMail(const Settings& settings, const EmailNotif& fields, const std::string& address,
                  const MailDeps& deps, ScreenPoint box_pos) {
  MailMessage message;
  try {
    message = BuildMessage(fields, address, deps);
  } catch (const Error& e) {
    ShowWarning(kSendErrorPrefix + std::string(e.what()), box_pos);
    return;
  }
  SmtpClient client(deps.network, deps.local_host, deps.clock);
  client.SetHost(settings.SMTPServer);
  try {
    client.SetOptions(SubmissionOptions(settings));
    ConnectWithSecondTry(client);
  } catch (const Error& e) {
    // With TLS or a sign-in the reason (a refused certificate, a wrong
    // password) is what the user needs to see.
    ShowWarning(PlainSubmission(settings) ? std::string(kTestConnectFailed)
                                          : kTestConnectFailed + std::string("\r\n\r\n") + e.what(),
                box_pos);
    return;
  }
  try {
    message.date = FormatMailDate(deps.now());
    client.Send(message);
  } catch (const Error&) {
    ShowWarning(kTestSendFailed, box_pos);
    return;
  }
  client.Disconnect();
  ShowMessageBox({kTestSendDone, "Confirm", BoxIcon::Question, BoxButtons::Ok, box_pos});
}

}  // namespace tarnwick
