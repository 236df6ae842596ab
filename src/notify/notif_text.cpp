#include "notify/notif_text.h"

#include "notify/page_template.h"

namespace tarnwick {

Notif NewNotif() {
  Notif step;
  step.NotifyMethod = kNotifyEmail;
  step.emailNotifr.esubject = kDefaultSubject;
  step.emailNotifr.emessage = kDefaultMessage;
  step.emailNotifr.maxretries = 0;
  step.FTPNotifr.FTPPort = kDefaultFtpPort;
  step.FTPNotifr.FTPHTML = std::string(kDefaultPageTemplate);
  step.sseconds = kDefaultSleepSeconds;
  return step;
}

std::string NotifSummary(const Notif& step) {
  switch (step.NotifyMethod) {
    case kNotifyEmail:
      return "Send email to " + step.emailNotifr.ETo;
    case kNotifyFtp:
      return "Upload web page to " + step.FTPNotifr.FTPServer;
    case kNotifyLaunch:
      return "Launch " + step.LaunchNotifr.LnchApp;
    case kNotifySleep:
      return "Sleep " + std::to_string(step.sseconds) + " seconds.";
    default:
      return std::string();
  }
}

}  // namespace tarnwick
