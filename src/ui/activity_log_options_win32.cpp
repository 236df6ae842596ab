#include "ui/activity_log_options_win32.h"

#include <commdlg.h>

#include "app/message_box.h"
#include "app/shell_win32.h"
#include "ui/option_dialog_ids.h"

namespace tarnwick {
namespace {

struct NoticeCheck {
  int id;
  bool Settings::*field;
};
constexpr NoticeCheck kNoticeChecks[] = {
    {kAlChkDrop, &Settings::noticedrop},         {kAlChkRedial, &Settings::noticeredial},
    {kAlChkRetries, &Settings::noticeretries},   {kAlChkStepFail, &Settings::noticestepfail},
    {kAlChkIpChange, &Settings::noticeipchange},
};

}  // namespace

void OpenActivityLog(const std::string& path) {
  if (GetFileAttributesA(path.c_str()) == INVALID_FILE_ATTRIBUTES) {
    ShowWarning(kNoLogYet + path);
    return;
  }
  OpenDocument(path);
}

TfrmKXActivityLog::TfrmKXActivityLog(Application& app, std::string default_path)
    : OptionDialog(kActivityLogOptionsClass, kDlgActivityLog),
      app_(app),
      default_path_(std::move(default_path)) {}

void TfrmKXActivityLog::FormCreate() {
  const Settings& s = app_.settings;
  SetChecked(kAlChkEnabled, s.loggingenabled);
  SetText(kAlTeFile, s.logfile);
  SetChecked(kAlChkNotices, s.notices);
  for (const NoticeCheck& check : kNoticeChecks) SetChecked(check.id, s.*check.field);
  ShowNoticeKinds();
}

void TfrmKXActivityLog::ShowNoticeKinds() {
  const bool on = Checked(kAlChkNotices);
  for (const NoticeCheck& check : kNoticeChecks) EnableWindow(Item(check.id), on);
}

void TfrmKXActivityLog::OnCommand(int id, int code) {
  if (code != BN_CLICKED) return;
  if (id == kAlChkNotices) ShowNoticeKinds();
  if (id == kAlBtnBrowse) BrowseClick();
  if (id == kAlBtnOpen) {
    const std::string file = Text(kAlTeFile);
    OpenActivityLog(file.empty() ? default_path_ : file);
  }
}

void TfrmKXActivityLog::BrowseClick() {
  std::string start = Text(kAlTeFile);
  if (start.empty()) start = default_path_;
  char path[MAX_PATH] = {};
  lstrcpynA(path, start.c_str(), MAX_PATH);
  OPENFILENAMEA save{};
  save.lStructSize = sizeof save;
  save.hwndOwner = hwnd();
  save.lpstrFilter = "Log files (*.log)\0*.log\0Text files (*.txt)\0*.txt\0All files\0*.*\0";
  save.lpstrFile = path;
  save.nMaxFile = MAX_PATH;
  save.lpstrDefExt = "log";
  save.lpstrTitle = "Activity Log File";
  // The log appends: choosing an existing file is no overwrite, so no prompt.
  save.Flags = OFN_PATHMUSTEXIST | OFN_HIDEREADONLY | OFN_NOCHANGEDIR;
  if (GetSaveFileNameA(&save)) SetText(kAlTeFile, path);
}

void TfrmKXActivityLog::OkClick() {
  Settings& s = app_.settings;
  s.loggingenabled = Checked(kAlChkEnabled);
  s.logfile = Text(kAlTeFile);
  s.notices = Checked(kAlChkNotices);
  for (const NoticeCheck& check : kNoticeChecks) s.*check.field = Checked(check.id);
  app_.SaveFromDialog("Activity Log");
  Close(IDOK);
}

}  // namespace tarnwick
