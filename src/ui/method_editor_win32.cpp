#include "ui/method_editor_win32.h"

#include <commdlg.h>

#include "ui/monitor_dialog_ids.h"

namespace tarnwick {
namespace {

constexpr TextField<MethodForm> kTexts[] = {
    {kMmTeFrom, &MethodForm::from},
    {kMmTeToo, &MethodForm::to},
    {kMmTeSubject, &MethodForm::subject},
    {kMmMessageText, &MethodForm::message},
    {kMmTeRetries, &MethodForm::retries},
    {kMmTeFTPServer, &MethodForm::ftp_server},
    {kMmTeFTPPort, &MethodForm::ftp_port},
    {kMmTeFTPPath, &MethodForm::ftp_path},
    {kMmMeHTML, &MethodForm::html},
    {kMmTeFTPUser, &MethodForm::ftp_user},
    {kMmTeFTPPass, &MethodForm::ftp_password},
    {kMmTeApp1, &MethodForm::app},
    {kMmTeParam1, &MethodForm::parameters},
    {kMmTeSleep, &MethodForm::sleep},
};
constexpr CheckField<MethodForm> kChecks[] = {
    {kMmChkPassive, &MethodForm::ftp_passive},
    {kMmChkFtps, &MethodForm::ftp_tls},
};
constexpr FormFields<MethodForm> kFields{kTexts, kChecks};

// The radio buttons in kind order: e-mail, FTP, launch, sleep.
constexpr int kKindButtons[] = {kMmRbEmail, kMmRbFtp, kMmRbLaunch, kMmRbSleep};

int FieldId(MethodField field) {
  switch (field) {
    case MethodField::kRetries:
      return kMmTeRetries;
    case MethodField::kSleep:
      return kMmTeSleep;
    case MethodField::kFrom:
      return kMmTeFrom;
    case MethodField::kTo:
      return kMmTeToo;
    case MethodField::kFtpServer:
      return kMmTeFTPServer;
    case MethodField::kFtpPort:
      return kMmTeFTPPort;
    case MethodField::kFtpPath:
      return kMmTeFTPPath;
    case MethodField::kApp:
      break;
  }
  return kMmTeApp1;
}

// Holds a flag for the life of a test.
class Busy {
 public:
  explicit Busy(bool& flag) : flag_(flag) { flag_ = true; }
  ~Busy() { flag_ = false; }
  Busy(const Busy&) = delete;
  Busy& operator=(const Busy&) = delete;

 private:
  bool& flag_;
};

}  // namespace

TfrmMonMethod::TfrmMonMethod(std::vector<Notif>& steps, int tag, StepTests& tests)
    : OptionDialog(kMethodEditorClass, kDlgMethod), steps_(steps), tag_(tag), tests_(tests) {}

void TfrmMonMethod::FormCreate() {
  kinds_.CreateNotebook(hwnd_, kMmNotebook,
                        {{kDlgMethodEmail, "email"},
                         {kDlgMethodFtp, "FTP"},
                         {kDlgMethodLaunch, "Launch"},
                         {kDlgMethodSleep, "Sleep"}});
  email_tabs_.Create(kinds_.Page(0), kMmEmailTabs,
                     {{kDlgMethodEmailHeader, "Message Header"},
                      {kDlgMethodEmailText, "Message Text"},
                      {kDlgMethodEmailOptions, "Message Options"}});
  ftp_tabs_.Create(kinds_.Page(1), kMmFtpTabs,
                   {{kDlgMethodFtpServer, "FTP Server"}, {kDlgMethodFtpPage, "Web Page"}});
  AddPages(kinds_);
  AddPages(email_tabs_);
  AddPages(ftp_tabs_);
  AttachSpin(kMmRetriesSpin, kMailRetriesSpin);
  AttachSpin(kMmSleepSpin, kSleepSpin);
  SendMessageA(Item(kMmTeFTPPass), EM_SETPASSWORDCHAR, '*', 0);
  AddHint(kMmTeFrom, "Enter the reply-to address");
  AddHint(kMmTeToo,
          "Enter the recipient's email address.  If you are sending a page, check with your "
          "pager or phone service for the correct address.");

  const bool editing = tag_ >= 1 && tag_ <= static_cast<int>(steps_.size());
  const MethodForm form = MethodFormFrom(editing ? &steps_[tag_ - 1] : nullptr);
  ShowForm(form, kFields);
  for (int kind = 0; kind < 4; ++kind) SetChecked(kKindButtons[kind], kind == form.kind);
  ShowKindPage(form.kind);
}

void TfrmMonMethod::ShowKindPage(int kind) {
  kinds_.Select(kind);
}

int TfrmMonMethod::CheckedKind() const {
  for (int kind = 0; kind < 3; ++kind) {
    if (Checked(kKindButtons[kind])) return kind;
  }
  return kNotifySleep;
}

MethodForm TfrmMonMethod::ReadMethodForm() const {
  MethodForm form;
  ReadForm(form, kFields);
  form.kind = CheckedKind();
  return form;
}

void TfrmMonMethod::OnCommand(int id, int code) {
  if (code != BN_CLICKED) return;
  for (int kind = 0; kind < 4; ++kind) {
    if (id == kKindButtons[kind]) ShowKindPage(kind);
  }
  switch (id) {
    case kMmBtSendMessage:
      btSendMessageClick();
      break;
    case kMmUploadTest:
      UploadTestClick();
      break;
    case kMmLaunchTest:
      LaunchTestClick();
      break;
    case kMmBrowse:
      BrowseClick();
      break;
    default:
      break;
  }
}

void TfrmMonMethod::OkClick() {
  Notif step = tag_ == -1 ? Notif{} : steps_.at(static_cast<size_t>(tag_ - 1));
  if (const auto refusal = ApplyMethodForm(ReadMethodForm(), step)) {
    Refuse(refusal->message, FieldId(refusal->field), std::nullopt,
           refusal->centred ? std::nullopt : std::optional<ScreenPoint>(TopLeft()));
    return;
  }
  if (tag_ == -1) {
    steps_.push_back(std::move(step));
  } else {
    steps_[static_cast<size_t>(tag_ - 1)] = std::move(step);
  }
  Close(IDOK);
}

void TfrmMonMethod::btSendMessageClick() {
  if (testing_) return;
  Busy busy(testing_);
  EmailNotif fields;
  fields.eFrom = Text(kMmTeFrom);
  fields.ETo = Text(kMmTeToo);
  fields.esubject = Text(kMmTeSubject);
  fields.emessage = Text(kMmMessageText);
  tests_.SendTestMessage(fields, TopLeft());
}

void TfrmMonMethod::UploadTestClick() {
  if (testing_) return;
  Busy busy(testing_);
  tests_.UploadFile({Text(kMmTeFTPServer), Text(kMmTeFTPPort), Text(kMmTeFTPPath),
                     Text(kMmTeFTPUser), Text(kMmTeFTPPass), Text(kMmMeHTML),
                     Checked(kMmChkPassive), Checked(kMmChkFtps)},
                    TopLeft());
}

void TfrmMonMethod::LaunchTestClick() {
  tests_.LaunchApplication(Text(kMmTeApp1), Text(kMmTeParam1));
}

void TfrmMonMethod::BrowseClick() {
  char path[MAX_PATH] = {};
  OPENFILENAMEA open{};
  open.lStructSize = sizeof(open);
  open.hwndOwner = hwnd_;
  open.lpstrFilter = "Applications\0*.exe\0";
  open.lpstrFile = path;
  open.nMaxFile = sizeof(path);
  // The program's own files are found by its folder, but keep the current one as it was.
  open.Flags =
      OFN_EXPLORER | OFN_FILEMUSTEXIST | OFN_PATHMUSTEXIST | OFN_HIDEREADONLY | OFN_NOCHANGEDIR;
  if (GetOpenFileNameA(&open)) SetText(kMmTeApp1, path);
}

}  // namespace tarnwick
