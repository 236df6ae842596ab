#include "ui/schedule_options_win32.h"

#include <commctrl.h>

#include "app/shell_win32.h"
#include "ui/option_dialog_ids.h"

namespace tarnwick {
namespace {

constexpr int kDayBoxes[7] = {kSchCbSunday,   kSchCbMonday, kSchCbTuesday, kSchCbWednesday,
                              kSchCbThursday, kSchCbFriday, kSchCbSaturday};

RECT RectIn(HWND parent, HWND child) {
  RECT r{};
  GetWindowRect(child, &r);
  MapWindowPoints(nullptr, parent, reinterpret_cast<POINT*>(&r), 2);
  return r;
}

constexpr TextField<ScheduleForm> kTexts[] = {
    {kSchTeDelay, &ScheduleForm::delay},
    {kSchTeMaxRetries, &ScheduleForm::max_retries},
    {kSchTeUserName, &ScheduleForm::user},
    {kSchTePassword, &ScheduleForm::password},
};
constexpr FormFields<ScheduleForm> kFields{kTexts, {}};

int FieldId(ScheduleField field) {
  return field == ScheduleField::kDelay ? kSchTeDelay : kSchTeMaxRetries;
}

}  // namespace

TfrmKXSchedule::TfrmKXSchedule(Application& app, std::optional<bool> windows2000_or_later)
    : OptionDialog(kScheduleOptionsClass, kDlgSchedule),
      app_(app),
      windows2000_or_later_(windows2000_or_later.value_or(IsWindows2000OrLater())) {}

void TfrmKXSchedule::FormCreate() {
  if (windows2000_or_later_) HideCredentials();
  AttachSpin(kSchUpDown2, kRetryDelaySpin);
  AttachSpin(kSchUpDown3, kMaxRetriesSpin);
  SendMessageA(Item(kSchTePassword), EM_SETPASSWORDCHAR, '*', 0);
  const ScheduleForm form = ScheduleFormFrom(app_.settings);
  SetChecked(kSchCbSchedEnabled, form.enabled);
  cbSchedEnabledClick();
  SYSTEMTIME time{};
  GetLocalTime(&time);  // the picker wants a whole valid date; only the time counts
  time.wHour = static_cast<WORD>(form.time.hour);
  time.wMinute = static_cast<WORD>(form.time.minute);
  time.wSecond = static_cast<WORD>(form.time.second);
  time.wMilliseconds = 0;
  SendMessageA(Item(kSchDtStartTime), DTM_SETSYSTEMTIME, GDT_VALID,
               reinterpret_cast<LPARAM>(&time));
  for (int day = 0; day < 7; ++day) SetChecked(kDayBoxes[day], form.days[day]);
  ShowForm(form, kFields);
}

// The user name and password rows go and the dialog shortens by their height.
void TfrmKXSchedule::HideCredentials() {
  Show({kSchUserLabel, kSchTeUserName, kSchPasswordLabel, kSchTePassword}, false);
  const int cut =
      RectIn(hwnd_, Item(kSchTePassword)).bottom - RectIn(hwnd_, Item(kSchTeMaxRetries)).bottom;
  const RECT group = RectIn(hwnd_, Item(kSchDialGroup));
  SetWindowPos(Item(kSchDialGroup), nullptr, 0, 0, group.right - group.left,
               group.bottom - group.top - cut, SWP_NOMOVE | SWP_NOZORDER);
  for (int id : {IDOK, IDCANCEL}) {
    const RECT button = RectIn(hwnd_, Item(id));
    SetWindowPos(Item(id), nullptr, button.left, button.top - cut, 0, 0, SWP_NOSIZE | SWP_NOZORDER);
  }
  RECT window{};
  GetWindowRect(hwnd_, &window);
  SetWindowPos(hwnd_, nullptr, 0, 0, window.right - window.left, window.bottom - window.top - cut,
               SWP_NOMOVE | SWP_NOZORDER);
}

void TfrmKXSchedule::cbSchedEnabledClick() {
  const bool enabled = Checked(kSchCbSchedEnabled);
  for (int day : kDayBoxes) Enable({day}, enabled);
  Enable({kSchDtStartTime, kSchTeDelay, kSchUpDown2, kSchTeMaxRetries, kSchUpDown3, kSchTeUserName,
          kSchTePassword},
         enabled);
  app_.settings.schedenabled = enabled;
}

void TfrmKXSchedule::Label1Click() {
  OpenDocument(kSchedulePage);
}

void TfrmKXSchedule::OnCommand(int id, int code) {
  if (id == kSchCbSchedEnabled && code == BN_CLICKED) cbSchedEnabledClick();
  if (id == kSchHeading && code == STN_CLICKED) Label1Click();
}

INT_PTR TfrmKXSchedule::OnMessage(UINT message, WPARAM wparam, LPARAM) {
  if (message == WM_SETCURSOR && reinterpret_cast<HWND>(wparam) == Item(kSchHeading)) {
    SetCursor(LoadCursorA(nullptr, IDC_HAND));
    SetWindowLongPtrA(hwnd_, DWLP_MSGRESULT, TRUE);
    return TRUE;
  }
  return FALSE;
}

void TfrmKXSchedule::OkClick() {
  ScheduleForm form;
  form.enabled = Checked(kSchCbSchedEnabled);
  for (int day = 0; day < 7; ++day) form.days[day] = Checked(kDayBoxes[day]);
  SYSTEMTIME time{};
  if (SendMessageA(Item(kSchDtStartTime), DTM_GETSYSTEMTIME, 0, reinterpret_cast<LPARAM>(&time)) ==
      GDT_VALID) {
    form.time = {time.wHour, time.wMinute, time.wSecond};
  } else {
    form.time = TimeOfDayOf(app_.settings.schedtime);
  }
  ReadForm(form, kFields);
  if (const auto refusal = ApplyScheduleForm(form, app_.settings)) {
    Refuse(refusal->message, FieldId(refusal->field), refusal->reset_text);
    return;
  }
  app_.SaveFromDialog("Schedule Options");
  Close(IDOK);
}

}  // namespace tarnwick
