#include "app/activity_reporter.h"

namespace tarnwick {

std::vector<std::string> SettingsSecrets(const Settings& s) {
  std::vector<std::string> secrets{s.proxypass, s.connpass};
  for (const Notif& step : s.notifs) secrets.push_back(step.FTPNotifr.FTPPass);
  return secrets;
}

std::string ActivityReporter::LogPath() const {
  if (!settings_.logfile.empty()) return settings_.logfile;
  if (!resolved_default_path_) resolved_default_path_ = default_path_ ? default_path_() : std::string();
  return *resolved_default_path_;
}

void ActivityReporter::Record(Activity kind, const std::string& details) {
  if (settings_.loggingenabled) {
    log_.SetPath(LogPath());
    log_.SetSecrets(SettingsSecrets(settings_));
    log_.Write(ActivityName(kind), details);
  }
  Notify(kind, details);
}

void ActivityReporter::Notify(Activity kind, const std::string& details) {
  const char* title = nullptr;
  bool wanted = false;
  switch (kind) {
    case Activity::kDropped:
      title = kNoticeDropped;
      wanted = settings_.noticedrop;
      break;
    case Activity::kRedialSucceeded:
      redial_pending_ = true;
      return;
    case Activity::kConnected:
      if (!redial_pending_) return;
      redial_pending_ = false;
      title = kNoticeRedialed;
      wanted = settings_.noticeredial;
      break;
    case Activity::kRetryLimit:
      title = kNoticeRetryLimit;
      wanted = settings_.noticeretries;
      break;
    case Activity::kStepFailed:
      title = kNoticeStepFailed;
      wanted = settings_.noticestepfail;
      break;
    case Activity::kAddressChanged:
      title = kNoticeAddress;
      wanted = settings_.noticeipchange;
      break;
    case Activity::kCancelled:
      redial_pending_ = false;
      return;
    default:
      return;
  }
  if (wanted && settings_.notices && notices_) notices_->Show(title, details);
}

}  // namespace tarnwick
