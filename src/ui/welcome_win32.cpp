#include "ui/welcome_win32.h"

#include <exception>

#include "app/error.h"
#include "app/message_box.h"
#include "app/startup.h"
#include "ui/email_options.h"
#include "ui/info_windows_ids.h"
#include "ui/main_watch_win32.h"
#include "ui/monitor_dialog_ids.h"
#include "ui/placement_win32.h"
#include "ui/welcome_pages.h"

namespace tarnwick {
namespace {

constexpr TextField<DialUpPageForm> kTexts[] = {
    {kWzTeDelay, &DialUpPageForm::delay},
    {kWzTeMaxRetries, &DialUpPageForm::max_retries},
    {kWzTeUserName, &DialUpPageForm::user},
    {kWzTePassword, &DialUpPageForm::password},
};
constexpr CheckField<DialUpPageForm> kChecks[] = {{kWzChkReconnect, &DialUpPageForm::reconnect}};
constexpr FormFields<DialUpPageForm> kFields{kTexts, kChecks};

// The button of each page that goes on, in page order.
constexpr int kForwardButtons[] = {kWzBtnNext, kWzDialUpNext, kWzEmailNext, kWzBtnFinish};
constexpr int kHeadings[] = {kWzIntroHeading, kWzDialUpHeading, kWzEmailHeading, kWzFinishHeading};

}  // namespace

TfrmWelcome::TfrmWelcome(Application& app) : OptionDialog(kWelcomeClass, kDlgWelcome), app_(app) {
  DialUp1_.OnEntryGet = [this](TDialUp&, const char* name) {
    HWND list = Item(kWzCbConnections);
    SendMessageA(list, CB_ADDSTRING, 0, reinterpret_cast<LPARAM>(name));
    SendMessageA(list, CB_SETCURSEL, 0, 0);
  };
}

void TfrmWelcome::FormCreate() {
  SetText(kWzVersion, kVersionText);
  notebook_.CreateNotebook(hwnd_, kWzNotebook,
                           {{kDlgWelcomeIntro, "Page1"},
                            {kDlgWelcomeDialUp, "DialUp Settings"},
                            {kDlgWelcomeEmail, "email"},
                            {kDlgWelcomeFinish, "Finish"}});
  AddPages(notebook_);

  const int dpi = WindowDpi(hwnd_);
  try {
    picture_ = LoadJpegResource(GetModuleHandleA(nullptr),
                                PictureIdForDpi(kJpgWizard, kJpgWizard144, dpi));
  } catch (const std::exception&) {
    picture_.Reset();  // an empty panel; the wizard still works
  }
  name_font_.Create(hwnd_, 18, true, dpi);
  heading_font_.Create(hwnd_, 16, true, dpi);
  SendMessageA(Item(kWzProductName), WM_SETFONT, reinterpret_cast<WPARAM>(name_font_.get()), FALSE);
  for (int id : kHeadings) {
    SendMessageA(Item(id), WM_SETFONT, reinterpret_cast<WPARAM>(heading_font_.get()), FALSE);
  }

  AttachSpin(kWzUpDown2, kRetryDelaySpin);
  AttachSpin(kWzUpDown3, kMaxRetriesSpin);
  SendMessageA(Item(kWzTePassword), EM_SETPASSWORDCHAR, '*', 0);
  ShowForm(DialUpPageForm{}, kFields);
  chkReconnectClick();
  SetChecked(kWzRbMAPI, true);
  // The submission fields start from the stored values (the plain port 25 on a
  // fresh start).
  const EmailForm mail = EmailFormFrom(app_.settings);
  SetText(kWzTeSmtpPort, mail.port);
  SetChecked(kWzRbPlain, mail.security != 1 && mail.security != 2);
  SetChecked(kWzRbStartTls, mail.security == 1);
  SetChecked(kWzRbTls, mail.security == 2);
  SetText(kWzTeSmtpUser, mail.user);
  SetText(kWzTeSmtpPass, mail.password);
  SendMessageA(Item(kWzTeSmtpPass), EM_SETPASSWORDCHAR, '*', 0);
  ShowMailPage(false);
  ShowPage(kPageIntro);
}

void TfrmWelcome::Place(HWND) {
  PlaceDialogWindow(hwnd_, nullptr);
}

WelcomePage TfrmWelcome::Page() const {
  return static_cast<WelcomePage>(notebook_.Selected());
}

void TfrmWelcome::ShowPage(WelcomePage page) {
  notebook_.Select(page);
  FocusControl(Item(kForwardButtons[page]));
}

void TfrmWelcome::btnNextClick() {
  HWND list = Item(kWzCbConnections);
  SendMessageA(list, CB_RESETCONTENT, 0, 0);
  try {
    DialUp1_.GetEntries();
  } catch (const Error&) {
    ShowWarning(kRasMissingWarning);
  }
  if (SendMessageA(list, CB_GETCOUNT, 0, 0) <= 0) ShowWarning(kNoRasEntriesWarning);
  if (hwnd_) ShowPage(kPageDialUp);
}

void TfrmWelcome::chkReconnectClick() {
  Enable({kWzTeDelay, kWzUpDown2, kWzTeMaxRetries, kWzUpDown3, kWzTeUserName, kWzTePassword},
         Checked(kWzChkReconnect));
}

void TfrmWelcome::DialUpNextClick() {
  DialUpPageForm form;
  ReadForm(form, kFields);
  form.connection = Text(kWzCbConnections);
  if (const auto refusal = ApplyDialUpPage(form, app_.settings)) {
    Refuse(refusal->message,
           refusal->field == ReconnectField::kDelay ? kWzTeDelay : kWzTeMaxRetries,
           refusal->reset_text);
    return;
  }
  app_.Save();
  ShowPage(kPageEmail);
}

void TfrmWelcome::ShowMailPage(bool smtp) {
  Show({kWzSmtpGroup, kWzHostLabel, kWzTeHost, kWzHostNote, kWzSmtpPortLabel, kWzTeSmtpPort,
        kWzRbPlain, kWzRbStartTls, kWzRbTls, kWzSmtpUserLabel, kWzTeSmtpUser, kWzSmtpPassLabel,
        kWzTeSmtpPass},
       smtp);
  Show({kWzMapiGroup}, !smtp);
}

void TfrmWelcome::EmailNextClick() {
  EmailForm form;
  form.smtp = Checked(kWzRbSMTP);
  form.host = Text(kWzTeHost);
  form.port = Text(kWzTeSmtpPort);
  form.security = Checked(kWzRbTls) ? 2 : Checked(kWzRbStartTls) ? 1 : 0;
  form.user = Text(kWzTeSmtpUser);
  form.password = Text(kWzTeSmtpPass);
  if (const auto refusal = ApplyEmailForm(form, app_.settings)) {
    Refuse(refusal->message, refusal->field == EmailField::kPort ? kWzTeSmtpPort : kWzRbPlain,
           refusal->reset_text);
    return;
  }
  app_.Save();
  ShowPage(kPageFinish);
}

void TfrmWelcome::btnFinishClick() {
  Close(IDOK);
}

void TfrmWelcome::OkClick() {
  switch (Page()) {
    case kPageIntro:
      btnNextClick();
      break;
    case kPageDialUp:
      DialUpNextClick();
      break;
    case kPageEmail:
      EmailNextClick();
      break;
    case kPageFinish:
      btnFinishClick();
      break;
  }
}

void TfrmWelcome::OnCommand(int id, int code) {
  if (code != BN_CLICKED) return;
  switch (id) {
    case kWzBtnNext:
      btnNextClick();
      break;
    case kWzDialUpPrevious:
      ShowPage(kPageIntro);
      break;
    case kWzDialUpNext:
      DialUpNextClick();
      break;
    case kWzEmailPrevious:
      ShowPage(kPageDialUp);
      break;
    case kWzEmailNext:
      EmailNextClick();
      break;
    case kWzFinishPrevious:
      ShowPage(kPageEmail);
      break;
    case kWzBtnFinish:
      btnFinishClick();
      break;
    case kWzChkReconnect:
      chkReconnectClick();
      break;
    case kWzRbSMTP:
      ShowMailPage(true);
      break;
    case kWzRbMAPI:
      ShowMailPage(false);
      break;
    default:
      break;
  }
}

INT_PTR TfrmWelcome::OnMessage(UINT message, WPARAM, LPARAM lparam) {
  if (message != WM_DRAWITEM) return FALSE;
  const auto* item = reinterpret_cast<const DRAWITEMSTRUCT*>(lparam);
  if (item->CtlID != kWzPicture) return FALSE;
  if (picture_) picture_.Draw(item->hDC, item->rcItem);
  return TRUE;
}

}  // namespace tarnwick
