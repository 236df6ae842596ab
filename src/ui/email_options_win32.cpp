#include "ui/email_options_win32.h"

#include <array>

#include "ui/option_dialog_ids.h"

namespace tarnwick {
namespace {

constexpr std::array<int, 3> kSecurityButtons = {kEmRbPlain, kEmRbStartTls, kEmRbTls};

constexpr TextField<EmailForm> kTexts[] = {{kEmTeHost, &EmailForm::host},
                                           {kEmTePort, &EmailForm::port},
                                           {kEmTeUser, &EmailForm::user},
                                           {kEmTePassword, &EmailForm::password}};
constexpr FormFields<EmailForm> kFields{kTexts, {}};

}  // namespace

Tfrmemail::Tfrmemail(Application& app) : OptionDialog(kEmailOptionsClass, kDlgEmail), app_(app) {}

void Tfrmemail::FormCreate() {
  const EmailForm form = EmailFormFrom(app_.settings);
  SetChecked(kEmRbSMTP, form.smtp);
  SetChecked(kEmRbMAPI, !form.smtp);
  ShowNotebookPage(form.smtp);
  ShowForm(form, kFields);
  for (size_t i = 0; i < kSecurityButtons.size(); ++i) {
    SetChecked(kSecurityButtons[i], form.security == static_cast<int32_t>(i));
  }
}

void Tfrmemail::ShowNotebookPage(bool smtp) {
  Show({kEmSmtpGroup, kEmHostLabel, kEmTeHost, kEmHostNote, kEmPortLabel, kEmTePort,
        kEmSecurityLabel, kEmRbPlain, kEmRbStartTls, kEmRbTls, kEmUserLabel, kEmTeUser,
        kEmPasswordLabel, kEmTePassword},
       smtp);
  Show({kEmMapiGroup}, !smtp);
}

void Tfrmemail::OnCommand(int id, int code) {
  if (code != BN_CLICKED) return;
  if (id == kEmRbSMTP) rbSMTPClick();
  if (id == kEmRbMAPI) rbMAPIClick();
}

void Tfrmemail::OkClick() {
  EmailForm form;
  ReadForm(form, kFields);
  form.smtp = Checked(kEmRbSMTP);
  for (size_t i = 0; i < kSecurityButtons.size(); ++i) {
    if (Checked(kSecurityButtons[i])) form.security = static_cast<int32_t>(i);
  }
  if (const auto refusal = ApplyEmailForm(form, app_.settings)) {
    Refuse(refusal->message, refusal->field == EmailField::kPort ? kEmTePort : kEmRbPlain,
           refusal->reset_text);
    return;
  }
  app_.SaveFromDialog("E-mail Settings");
  Close(IDOK);
}

}  // namespace tarnwick
