#pragma once
// The IP Monitor Options dialog `TfrmKXMonitor`: IP monitoring on or off and
// the notification script as a list, edited in a working copy; only OK replaces
// the notification list and `MonitorIP`. The main window's IP Monitor command
// shows it; its Add and Edit open the method editor.
#include <windows.h>

#include <vector>

#include "app/application.h"
#include "ui/option_dialog_win32.h"
#include "ui/step_tests_win32.h"

namespace tarnwick {

inline constexpr const char* kMonitorOptionsClass = "TfrmKXMonitor";

class TfrmKXMonitor : public OptionDialog {
 public:
  TfrmKXMonitor(Application& app, StepTests& tests);

  const std::vector<Notif>& WorkingList() const { return working_; }

  // The check-box rule: the list, Add and Edit follow the box; Remove, Up and
  // Down keep their state.
  void chkMonitor2Click();
  // The selection rule: Up from the second line on, Down above the last line.
  void lbNotifsClick();
  void btnAddClick();
  void btnEditClick();  // also a double-click on the list
  void btnRemoveClick();
  void btnUpClick();
  void btnDownClick();

 private:
  void FormCreate() override;
  void OkClick() override;
  void OnCommand(int id, int code) override;
  void FillList();
  // The selected line from 0, or -1.
  int SelectedLine() const;
  void SelectLine(int line);
  // Swaps the selected step with the one `offset` lines away and follows it.
  void MoveSelected(int offset);

  Application& app_;
  StepTests& tests_;
  std::vector<Notif> working_;
};

}  // namespace tarnwick
