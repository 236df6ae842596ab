#pragma once
// The program's activity sink: every event goes to the activity log when
// `loggingenabled` is on, and the events a user away from the screen wants to
// hear about also become tray notices, each kind as the settings allow. Both
// read the settings at each event, so the options take effect at once.
#include <functional>
#include <optional>
#include <string>
#include <vector>

#include "app/activity.h"
#include "app/activity_log.h"
#include "app/settings.h"

namespace tarnwick {

// The tray's balloon; it must return at once (no waiting for the user).
class Notices {
 public:
  virtual ~Notices() = default;
  virtual void Show(const std::string& title, const std::string& text) = 0;
};

inline constexpr const char* kNoticeDropped = "Connection dropped";
inline constexpr const char* kNoticeRedialed = "Redial succeeded";
inline constexpr const char* kNoticeRetryLimit = "Redial stopped";
inline constexpr const char* kNoticeStepFailed = "Notification step failed";
inline constexpr const char* kNoticeAddress = "Address changed";

// The stored passwords: never written to the log.
std::vector<std::string> SettingsSecrets(const Settings& settings);

class ActivityReporter : public ActivitySink {
 public:
  // `default_path` gives the log file when `logfile` is empty. It is asked only
  // when a line is written: the shell call behind it is slow at start-up.
  ActivityReporter(const Settings& settings, ActivityLog& log, Notices* notices,
                   std::function<std::string()> default_path)
      : settings_(settings), log_(log), notices_(notices), default_path_(std::move(default_path)) {}

  void Record(Activity kind, const std::string& details) override;

  // The file the log writes to as the settings are now.
  std::string LogPath() const;

 private:
  void Notify(Activity kind, const std::string& details);

  const Settings& settings_;
  ActivityLog& log_;
  Notices* notices_;
  std::function<std::string()> default_path_;
  mutable std::optional<std::string> resolved_default_path_;
  // A redial connected; the poll's next "connected" carries the new address.
  bool redial_pending_ = false;
};

}  // namespace tarnwick
