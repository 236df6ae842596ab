#pragma once
// The email Settings dialog `Tfrmemail`: SMTP or the system's mail program for
// every e-mail step, and the SMTP server. The main window's menu item "email
// Settings..." shows it.
#include <windows.h>

#include "app/application.h"
#include "ui/email_options.h"
#include "ui/option_dialog_win32.h"

namespace tarnwick {

inline constexpr const char* kEmailOptionsClass = "Tfrmemail";

class Tfrmemail : public OptionDialog {
 public:
  explicit Tfrmemail(Application& app);

  // The radio buttons show their page of the notebook: the server's, or an empty one.
  void rbSMTPClick() { ShowNotebookPage(true); }
  void rbMAPIClick() { ShowNotebookPage(false); }

 private:
  void FormCreate() override;
  void OkClick() override;
  void OnCommand(int id, int code) override;
  void ShowNotebookPage(bool smtp);

  Application& app_;
};

}  // namespace tarnwick
