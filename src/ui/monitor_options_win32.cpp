#include "ui/monitor_options_win32.h"

#include <utility>

#include "notify/notif_text.h"
#include "ui/method_editor_win32.h"
#include "ui/monitor_dialog_ids.h"

namespace tarnwick {

TfrmKXMonitor::TfrmKXMonitor(Application& app, StepTests& tests)
    : OptionDialog(kMonitorOptionsClass, kDlgMonitor), app_(app), tests_(tests) {}

void TfrmKXMonitor::FormCreate() {
  pages_.Create(
      hwnd_, kMonPageControl,
      {{kDlgMonitorNotify, "Notify Options"}, {kDlgMonitorMethods, "Notification Method"}});
  working_ = app_.settings.notifs;
  FillList();
  SetChecked(kMonChkMonitor2, app_.settings.MonitorIP);
  if (working_.empty()) {
    Enable({kMonBtnRemove, kMonBtnEdit}, false);
  } else {
    SelectLine(0);
  }
  chkMonitor2Click();
  lbNotifsClick();
}

void TfrmKXMonitor::FillList() {
  HWND list = Item(kMonLbNotifs);
  SendMessageA(list, LB_RESETCONTENT, 0, 0);
  for (const Notif& step : working_) {
    SendMessageA(list, LB_ADDSTRING, 0, reinterpret_cast<LPARAM>(NotifSummary(step).c_str()));
  }
}

int TfrmKXMonitor::SelectedLine() const {
  const LRESULT line = SendMessageA(Item(kMonLbNotifs), LB_GETCURSEL, 0, 0);
  return line == LB_ERR ? -1 : static_cast<int>(line);
}

void TfrmKXMonitor::SelectLine(int line) {
  SendMessageA(Item(kMonLbNotifs), LB_SETCURSEL, static_cast<WPARAM>(line), 0);
}

void TfrmKXMonitor::chkMonitor2Click() {
  Enable({kMonLbNotifs, kMonBtnAdd, kMonBtnEdit}, Checked(kMonChkMonitor2));
}

void TfrmKXMonitor::lbNotifsClick() {
  const int line = SelectedLine();
  const int count = static_cast<int>(working_.size());
  Enable({kMonBtnUp}, line >= 1);
  Enable({kMonBtnDown}, count != line + 1);
}

void TfrmKXMonitor::btnAddClick() {
  TfrmMonMethod editor(working_, -1, tests_);
  if (editor.ShowModal(hwnd_) != IDOK || !hwnd_) return;
  HWND list = Item(kMonLbNotifs);
  SendMessageA(list, LB_ADDSTRING, 0,
               reinterpret_cast<LPARAM>(NotifSummary(working_.back()).c_str()));
  Enable({kMonBtnRemove, kMonBtnEdit}, true);
  SelectLine(0);
}

void TfrmKXMonitor::btnEditClick() {
  const int line = SelectedLine();
  if (line < 0) return;
  TfrmMonMethod editor(working_, line + 1, tests_);
  if (editor.ShowModal(hwnd_) != IDOK || !hwnd_) return;
  HWND list = Item(kMonLbNotifs);
  const int selected = SelectedLine();
  SendMessageA(list, LB_DELETESTRING, static_cast<WPARAM>(line), 0);
  SendMessageA(list, LB_INSERTSTRING, static_cast<WPARAM>(line),
               reinterpret_cast<LPARAM>(NotifSummary(working_[static_cast<size_t>(line)]).c_str()));
  SelectLine(selected);
}

void TfrmKXMonitor::btnRemoveClick() {
  const int line = SelectedLine();
  if (line < 0) return;
  working_.erase(working_.begin() + line);
  SendMessageA(Item(kMonLbNotifs), LB_DELETESTRING, static_cast<WPARAM>(line), 0);
  if (!working_.empty()) {
    SelectLine(0);
  } else {
    Enable({kMonBtnRemove, kMonBtnEdit}, false);
  }
}

void TfrmKXMonitor::MoveSelected(int offset) {
  const int line = SelectedLine();
  const int target = line + offset;
  if (line < 0 || target < 0 || target >= static_cast<int>(working_.size())) return;
  std::swap(working_[static_cast<size_t>(line)], working_[static_cast<size_t>(target)]);
  FillList();
  SelectLine(target);
  lbNotifsClick();
}

void TfrmKXMonitor::btnUpClick() {
  MoveSelected(-1);
}

void TfrmKXMonitor::btnDownClick() {
  MoveSelected(1);
}

void TfrmKXMonitor::OnCommand(int id, int code) {
  if (id == kMonLbNotifs) {
    if (code == LBN_SELCHANGE) lbNotifsClick();
    if (code == LBN_DBLCLK) btnEditClick();
    return;
  }
  if (code != BN_CLICKED) return;
  switch (id) {
    case kMonChkMonitor2:
      chkMonitor2Click();
      break;
    case kMonBtnAdd:
      btnAddClick();
      break;
    case kMonBtnEdit:
      btnEditClick();
      break;
    case kMonBtnRemove:
      btnRemoveClick();
      break;
    case kMonBtnUp:
      btnUpClick();
      break;
    case kMonBtnDown:
      btnDownClick();
      break;
    default:
      break;
  }
}

void TfrmKXMonitor::OkClick() {
  app_.settings.notifs = working_;
  app_.settings.MonitorIP = Checked(kMonChkMonitor2);
  app_.SaveFromDialog("IP Monitor Options");
  Close(IDOK);
}

}  // namespace tarnwick
