#include "ui/keepalive_options_win32.h"

#include "ui/option_dialog_ids.h"

namespace tarnwick {
namespace {

constexpr TextField<KeepAliveForm> kTexts[] = {
    {kKaTePHost, &KeepAliveForm::ping_host},
    {kKaTePInterval, &KeepAliveForm::ping_interval},
    {kKaTeWebURL, &KeepAliveForm::web_url},
    {kKaTeWebInterval, &KeepAliveForm::web_interval},
    {kKaTeProxyServer, &KeepAliveForm::proxy_server},
    {kKaTeProxyPort, &KeepAliveForm::proxy_port},
    {kKaTeProxyUser, &KeepAliveForm::proxy_user},
    {kKaTeProxyPassword, &KeepAliveForm::proxy_password},
};
constexpr FormFields<KeepAliveForm> kFields{kTexts, {}};

}  // namespace

TfrmKXKeepAlive::TfrmKXKeepAlive(Application& app)
    : OptionDialog(kKeepAliveOptionsClass, kDlgKeepAlive), app_(app) {}

void TfrmKXKeepAlive::FormCreate() {
  pages_.Create(hwnd_, kKaPageControl,
                {{kDlgKeepAliveMethod, "Keep-Alive"}, {kDlgKeepAliveProxy, "Proxy"}});
  AttachSpin(kKaUpDown1, kKeepAliveIntervalSpin);
  AttachSpin(kKaUpDown2, kKeepAliveIntervalSpin);
  SendMessageA(Item(kKaTeProxyPassword), EM_SETPASSWORDCHAR, '*', 0);
  const KeepAliveForm form = KeepAliveFormFrom(app_.settings);
  SetChecked(kKaRbNone, form.method == kKeepAliveNone);
  SetChecked(kKaRbPing, form.method == kKeepAlivePing);
  SetChecked(kKaRbWeb, form.method == kKeepAliveWeb);
  MethodClick();
  ShowForm(form, kFields);
}

KeepAliveMethod TfrmKXKeepAlive::CheckedMethod() const {
  if (Checked(kKaRbPing)) return kKeepAlivePing;
  if (Checked(kKaRbWeb)) return kKeepAliveWeb;
  return kKeepAliveNone;
}

void TfrmKXKeepAlive::MethodClick() {
  const KeepAliveEnables enables = KeepAliveEnablesFor(CheckedMethod());
  Enable({kKaTePHost, kKaTePInterval}, enables.ping);
  Enable({kKaTeWebURL, kKaTeWebInterval}, enables.web);
}

void TfrmKXKeepAlive::OnCommand(int id, int code) {
  if (code == BN_CLICKED && (id == kKaRbNone || id == kKaRbPing || id == kKaRbWeb)) MethodClick();
}

void TfrmKXKeepAlive::OkClick() {
  KeepAliveForm form;
  form.method = CheckedMethod();
  ReadForm(form, kFields);
  if (const auto refusal = ApplyKeepAliveForm(form, app_.settings)) {
    ShowWarning(refusal->message, TopLeft());
    Close(IDCANCEL);
    return;
  }
  app_.SaveFromDialog("Keep-Alive Options");
  Close(IDOK);
}

}  // namespace tarnwick
