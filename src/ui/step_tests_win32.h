#pragma once
// The method editor's test buttons: each carries out one step made of the
// editor's own values with the program's real senders, through clients of its
// own, and reports as the step's sender does. The address is what the main
// window shows at the moment of the test (empty when it shows none).
#include <functional>
#include <string>

#include "app/application.h"
#include "app/message_box.h"
#include "app/waits_win32.h"
#include "net/transport_win32.h"
#include "notify/ftp_step.h"
#include "notify/mapi_mail.h"
#include "notify/shell_launcher_win32.h"

namespace tarnwick {

class StepTests {
 public:
  StepTests(Application& app, std::function<std::string()> address);

  // "Send Test Message": SMTP or the mail program, as `usesmtp` says; the
  // boxes at `box_pos` (the editor's corner).
  void SendTestMessage(const EmailNotif& fields, ScreenPoint box_pos);
  // "Upload Test File". Throws Error for the standard error box on a failure
  // other than a port that is not a number.
  void UploadFile(const FtpTestFields& fields, ScreenPoint box_pos);
  // "Test Application Launch": nothing when `app` is empty; no message either way.
  void LaunchApplication(const std::string& app, const std::string& parameters);

 private:
  // The mail program's branch of "Send Test Message" (`usesmtp` off).
  void SendThroughMailProgram(const EmailNotif& fields, ScreenPoint box_pos);

  Application& app_;
  std::function<std::string()> address_;
  Win32PumpingSleeper pump_;
  net::WinsockNetwork network_;
  DiskPageFiles files_;
  Win32ShellLauncher shell_;
  TEmail Email1_;  // the editor's own mail component
};

}  // namespace tarnwick
