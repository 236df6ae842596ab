#pragma once
// The process-wide state: the settings, the start-up flags and where the
// settings live. One instance, created by the process entry and handed by
// reference to the windows; tests make their own.
#include <functional>
#include <string>

#include "app/activity.h"
#include "app/registry.h"
#include "app/settings.h"
#include "app/settings_store.h"
#include "app/startup.h"

namespace tarnwick {

inline constexpr const char* kRunKeyPath = "Software\\Microsoft\\Windows\\CurrentVersion\\Run";

struct Application {
  Settings settings;
  StartupFlags flags;
  // The root chosen at start-up; the settings and the start-with-Windows value use it.
  RegistryStore* registry = nullptr;
  std::string exe_path;
  std::string settings_root;  // where the settings live, for the log

  bool nt_family = true;
  // Ends the process at once (the shutdown timer's last resort).
  std::function<void()> end_process;
  // Where the engines and windows tell what they did (the log and the tray
  // notices); none in tests that do not look.
  ActivitySink* activity = nullptr;

  void Save() const { SaveSettings(settings, *registry); }
  // An option dialog's OK: the save, then the log's note of it.
  void SaveFromDialog(const std::string& dialog) const {
    Save();
    Report(activity, Activity::kSettingsSaved, "from " + dialog);
  }
  // The command line that starts the program with Windows. Quoted: unquoted, a
  // path with spaces is tried prefix by prefix ("C:\Program.exe" first).
  std::string AutoStartCommand() const { return "\"" + exe_path + "\" " + kStartupSwitch; }
};

}  // namespace tarnwick
