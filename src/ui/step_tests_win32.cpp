#include "ui/step_tests_win32.h"

#include "net/mail_date.h"
#include "notify/mapi_step.h"
#include "notify/mapi_win32.h"
#include "notify/smtp_step.h"
#include "notify/steps.h"

namespace tarnwick {

StepTests::StepTests(Application& app, std::function<std::string()> address)
    : app_(app),
      address_(std::move(address)),
      network_([this] { pump_.ProcessMessages(); }, [this] { return pump_.Quitting(); }),
      Email1_(SystemMapi) {}

void StepTests::SendTestMessage(const EmailNotif& fields, ScreenPoint box_pos) {
  if (!app_.settings.usesmtp) {
    SendThroughMailProgram(fields, box_pos);
    return;
  }
  const MailDeps deps{network_, network_.LocalHostName(), net::SystemCodePage(),
                      net::CurrentMailTime};
  TestSendMail(app_.settings, fields, address_(), deps, box_pos);
}

void StepTests::SendThroughMailProgram(const EmailNotif& fields, ScreenPoint box_pos) {
  // Throws when the system has no Simple MAPI: the standard error box says so.
  TestSendMapiMail(fields, address_(), Email1_, box_pos);
}

void StepTests::UploadFile(const FtpTestFields& fields, ScreenPoint box_pos) {
  const FtpDeps deps{network_, files_, app_.flags.ProgramDir, UserTempDir()};
  TestUploadPage(fields, address_(), deps, box_pos);
}

void StepTests::LaunchApplication(const std::string& app, const std::string& parameters) {
  TestLaunch(app, parameters, address_(), shell_);
}

}  // namespace tarnwick
