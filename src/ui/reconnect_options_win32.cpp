#include "ui/reconnect_options_win32.h"

#include <commctrl.h>

#include "app/error.h"
#include "app/shell_win32.h"
#include "ui/option_dialog_ids.h"

namespace tarnwick {
namespace {

constexpr TextField<ReconnectForm> kTexts[] = {
    {kRecTeDelay, &ReconnectForm::delay},
    {kRecTeMaxRetries, &ReconnectForm::max_retries},
    {kRecTeUserName, &ReconnectForm::user},
    {kRecTePassword, &ReconnectForm::password},
    {kRecTeDialDelay, &ReconnectForm::dial_delay_seconds},
};
constexpr CheckField<ReconnectForm> kChecks[] = {
    {kRecChkReconnect, &ReconnectForm::reconnect},
    {kRecChkDialDelay, &ReconnectForm::dial_delay},
};
constexpr FormFields<ReconnectForm> kFields{kTexts, kChecks};

int FieldId(ReconnectField field) {
  switch (field) {
    case ReconnectField::kDelay:
      return kRecTeDelay;
    case ReconnectField::kMaxRetries:
      return kRecTeMaxRetries;
    case ReconnectField::kDialDelay:
      break;
  }
  return kRecTeDialDelay;
}

}  // namespace

EntryCredentials ReadEntryCredentials(TDialUp& dialup, const std::string& entry) {
  EntryCredentials stored;
  dialup.Entry = entry;
  try {
    if (dialup.GetEntryUserName(stored.user) != 0) return {};
    if (dialup.GetEntryPassword(stored.password) != 0) stored.password.clear();
  } catch (const Error&) {
    return {};  // no RAS on this machine: the fields stay empty, the dialog still opens
  }
  return stored;
}

TfrmKXReconnect::TfrmKXReconnect(Application& app, WatchState& watch,
                                 std::function<EntryCredentials()> phonebook,
                                 std::optional<bool> windows2000_or_later)
    : OptionDialog(kReconnectOptionsClass, kDlgReconnect),
      app_(app),
      watch_(watch),
      phonebook_(std::move(phonebook)),
      windows2000_or_later_(windows2000_or_later.value_or(IsWindows2000OrLater())) {}

void TfrmKXReconnect::FormCreate() {
  pages_.Create(hwnd_, kRecPageControl1,
                {{kDlgReconnectConnection, "Connection"},
                 {kDlgReconnectLogin, "Login"},
                 {kDlgReconnectStartup, "Program Startup"}});
  pages_.SetTextColor(kRecLblWin2000, kMaroon);
  AttachSpin(kRecUpDown2, kRetryDelaySpin);
  AttachSpin(kRecUpDown3, kMaxRetriesSpin);
  AttachSpin(kRecUpDown1, kStartDelaySpin);
  SendMessageA(Item(kRecTePassword), EM_SETPASSWORDCHAR, '*', 0);
  if (windows2000_or_later_) {
    // The reconnect window dials with the credentials saved in the phonebook there.
    Enable({kRecTeUserName, kRecTePassword}, false);
    Show({kRecLblWin2000}, true);
  }
  ShowForm(ReconnectFormFrom(app_.settings, phonebook_), kFields);
  chkReconnectClick();
  chkDialDelayClick();
}

void TfrmKXReconnect::chkReconnectClick() {
  Enable({kRecTeDelay, kRecUpDown2, kRecTeMaxRetries, kRecUpDown3}, Checked(kRecChkReconnect));
}

void TfrmKXReconnect::chkDialDelayClick() {
  Enable({kRecUpDown1, kRecTeDialDelay}, Checked(kRecChkDialDelay));
}

void TfrmKXReconnect::OnCommand(int id, int code) {
  if (code != BN_CLICKED) return;
  if (id == kRecChkReconnect) chkReconnectClick();
  if (id == kRecChkDialDelay) chkDialDelayClick();
}

void TfrmKXReconnect::OkClick() {
  ReconnectForm form;
  ReadForm(form, kFields);
  if (const auto refusal = ApplyReconnectForm(form, app_.settings)) {
    Refuse(refusal->message, FieldId(refusal->field), refusal->reset_text);
    return;
  }
  app_.SaveFromDialog("Reconnect Options");
  // A reconnection the user cancelled earlier may start again at the next tick.
  watch_.reconnect_holdoff = 0;
  Close(IDOK);
}

}  // namespace tarnwick
