#pragma once
// The method editor `TfrmMonMethod` ("IP Monitor Method"): one step of the
// notification script, of any of the four kinds, each on its own page; the
// e-mail, FTP and launch pages can test the values on them. It edits the IP
// monitor dialog's working list, never the notification list itself.
#include <windows.h>

#include <vector>

#include "app/settings.h"
#include "ui/method_form.h"
#include "ui/option_dialog_win32.h"
#include "ui/step_tests_win32.h"

namespace tarnwick {

inline constexpr const char* kMethodEditorClass = "TfrmMonMethod";

class TfrmMonMethod : public OptionDialog {
 public:
  // `tag` -1: a new step, appended to `steps` by OK; otherwise the 1-based
  // position in `steps` of the step it edits.
  TfrmMonMethod(std::vector<Notif>& steps, int tag, StepTests& tests);

  int Tag() const { return tag_; }

  // The kind's radio button shows the kind's page.
  void ShowKindPage(int kind);
  // The test buttons and "Browse...".
  void btSendMessageClick();
  void UploadTestClick();
  void LaunchTestClick();
  void BrowseClick();

 private:
  void FormCreate() override;
  void OkClick() override;
  void OnCommand(int id, int code) override;
  int CheckedKind() const;
  MethodForm ReadMethodForm() const;

  std::vector<Notif>& steps_;
  int tag_;
  StepTests& tests_;
  TabPages kinds_;        // the pages "email", "FTP", "Launch", "Sleep"
  TabPages email_tabs_;   // "Message Header", "Message Text", "Message Options"
  TabPages ftp_tabs_;     // "FTP Server", "Web Page"
  bool testing_ = false;  // a test is under way (its network waits let clicks through)
};

}  // namespace tarnwick
