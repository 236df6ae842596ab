#include "ui/email_options_win32.h"

#include "ui/option_dialog_ids.h"

namespace tarnwick {

Tfrmemail::Tfrmemail(Application& app) : OptionDialog(kEmailOptionsClass, kDlgEmail), app_(app) {}

void Tfrmemail::FormCreate() {
  const EmailForm form = EmailFormFrom(app_.settings);
  SetChecked(kEmRbSMTP, form.smtp);
  SetChecked(kEmRbMAPI, !form.smtp);
  ShowNotebookPage(form.smtp);
  SetText(kEmTeHost, form.host);
}

void Tfrmemail::ShowNotebookPage(bool smtp) {
  Show({kEmSmtpGroup, kEmHostLabel, kEmTeHost, kEmHostNote}, smtp);
  Show({kEmMapiGroup}, !smtp);
}

void Tfrmemail::OnCommand(int id, int code) {
  if (code != BN_CLICKED) return;
  if (id == kEmRbSMTP) rbSMTPClick();
  if (id == kEmRbMAPI) rbMAPIClick();
}

void Tfrmemail::OkClick() {
  ApplyEmailForm({Checked(kEmRbSMTP), Text(kEmTeHost)}, app_.settings);
  app_.SaveFromDialog("E-mail Settings");
  Close(IDOK);
}

}  // namespace tarnwick
