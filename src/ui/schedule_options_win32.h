#pragma once
// The DialUp Scheduler dialog `TfrmKXSchedule`: the schedule's switch, days and
// time, the retry values stored with it and the dial credentials (hidden from
// Windows 2000 on, where the phonebook's are used). "Scheduler Enabled" takes
// effect in memory at once, before OK or Cancel. The main window's Scheduler
// command shows it and then arms the scheduler when the schedule is on.
#include <windows.h>

#include <optional>

#include "app/application.h"
#include "ui/option_dialog_win32.h"
#include "ui/schedule_options.h"

namespace tarnwick {

inline constexpr const char* kScheduleOptionsClass = "TfrmKXSchedule";
// The heading opens this page.
inline constexpr const char* kSchedulePage = "http://www.example.com/tarnwick/scheduler/";

class TfrmKXSchedule : public OptionDialog {
 public:
  // `windows2000_or_later` empty: ask the system.
  explicit TfrmKXSchedule(Application& app,
                          std::optional<bool> windows2000_or_later = std::nullopt);

  // Enables the days, the time and the dial options exactly when ticked, and
  // sets `schedenabled` to match at once.
  void cbSchedEnabledClick();
  void Label1Click();

 private:
  void FormCreate() override;
  void OkClick() override;
  void OnCommand(int id, int code) override;
  INT_PTR OnMessage(UINT message, WPARAM wparam, LPARAM lparam) override;
  void HideCredentials();

  Application& app_;
  bool windows2000_or_later_;
};

}  // namespace tarnwick
