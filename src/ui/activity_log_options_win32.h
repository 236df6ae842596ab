#pragma once
// The Activity Log dialog `TfrmKXActivityLog` (Options > Activity Log...): the
// log on or off, its file (the system's save dialog picks one; Open Log shows
// it in the shell's viewer), and which tray notices are shown.
#include <windows.h>

#include <string>

#include "app/application.h"
#include "ui/option_dialog_win32.h"

namespace tarnwick {

inline constexpr const char* kActivityLogOptionsClass = "TfrmKXActivityLog";
inline constexpr const char* kNoLogYet = "There is no activity log yet: ";

// Opens the log file with its associated program; a warning when there is none yet.
void OpenActivityLog(const std::string& path);

class TfrmKXActivityLog : public OptionDialog {
 public:
  // `default_path`: the file used while the field is empty.
  TfrmKXActivityLog(Application& app, std::string default_path);

 private:
  void FormCreate() override;
  void OkClick() override;
  void OnCommand(int id, int code) override;
  void BrowseClick();
  void ShowNoticeKinds();

  Application& app_;
  std::string default_path_;
};

}  // namespace tarnwick
