// The main window's commands that open the option dialogs, and what the
// window does once each has closed.
#include "ui/email_options_win32.h"
#include "ui/keepalive_options_win32.h"
#include "ui/main_window_win32.h"
#include "ui/monitor_options_win32.h"
#include "ui/reconnect_options_win32.h"
#include "ui/schedule_options_win32.h"

namespace tarnwick {

void TMain::ReconnectionClick() {
  TfrmKXReconnect dialog(app_, watch_->State(), [this] {
    return ReadEntryCredentials(watch_->DialUp1(), app_.settings.conname);
  });
  dialog.ShowModal(hwnd());
}

void TMain::btnipmonitorClick() {
  // The test buttons use the address the window shows at the time of the test.
  StepTests tests(app_, [this] { return WindowText(controls_.Label10); });
  TfrmKXMonitor dialog(app_, tests);
  dialog.ShowModal(hwnd());
}

void TMain::dxBarLargeButton1Click() {
  TfrmKXSchedule dialog(app_);
  dialog.ShowModal(hwnd());
  // With OK or Cancel alike: "Scheduler Enabled" took effect as it was clicked.
  // The window may have gone with the session's end while the dialog was open.
  if (watch_) watch_->StartScheduler();
}

void TMain::dxKeepAliveClick() {
  TfrmKXKeepAlive dialog(app_);
  dialog.ShowModal(hwnd());
  // With OK, Cancel or after a warning: the settings as they now stand in memory.
  if (watch_) watch_->StartKeepAlive();
}

void TMain::emailSettings1Click() {
  Tfrmemail dialog(app_);
  dialog.ShowModal(hwnd());
}

}  // namespace tarnwick
