// Shows one option dialog with sample settings over a stand-in main window, for
// screenshots (scripts/dialog-screenshots):
//   option_dialogs_show reconnect|keepalive|schedule|schedule-nt4|email|email-mapi|
//                       monitor|method-email|method-ftp|method-launch|method-sleep|welcome|
//                       activitylog
//                       [page] [rect-file]
// Once the dialog shows (on tab `page`; the wizard on its page `page`), its
// screen rectangle goes into rect-file as WxH+X+Y (then its client size); the
// dialog closes when that file is deleted again.
#include <windows.h>
// <commctrl.h> after <windows.h>.
#include <commctrl.h>

#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <string>

#include "app/memory_registry.h"
#include "app/message_box_win32.h"
#include "app/watch_state.h"
#include "modal_driver.h"
#include "ui/activity_log_options_win32.h"
#include "ui/email_options_win32.h"
#include "ui/keepalive_options_win32.h"
#include "ui/method_editor_win32.h"
#include "ui/monitor_dialog_ids.h"
#include "ui/monitor_options_win32.h"
#include "ui/reconnect_options_win32.h"
#include "ui/schedule_options_win32.h"
#include "ui/welcome_win32.h"

namespace {

const char* g_class = nullptr;
int g_page = 0;
std::string g_rect_file;
bool g_reported = false;
bool g_wizard = false;

// The tab control on show, also one on a page of the dialog.
HWND ShownTabControl(HWND dialog) {
  HWND found = nullptr;
  EnumChildWindows(
      dialog,
      [](HWND child, LPARAM param) -> BOOL {
        char name[32] = {};
        GetClassNameA(child, name, sizeof name);
        if (lstrcmpiA(name, WC_TABCONTROLA) != 0 || !IsWindowVisible(child)) return TRUE;
        *reinterpret_cast<HWND*>(param) = child;
        return FALSE;
      },
      reinterpret_cast<LPARAM>(&found));
  return found;
}

void CALLBACK Watch(HWND, UINT, UINT_PTR, DWORD) {
  HWND dialog = FindWindowA(g_class, nullptr);
  if (!dialog || !IsWindowVisible(dialog)) return;
  if (!g_reported) {
    if (g_wizard) {
      // Pages 0 to 3 by Next (the phonebook comes from rassim); 4 is the mail
      // page with SMTP chosen.
      constexpr int kForward[] = {kWzBtnNext, kWzDialUpNext, kWzEmailNext};
      const int forward = g_page == 4 ? 2 : g_page;
      for (int i = 0; i < forward && i < 3; ++i) SendMessageA(dialog, WM_COMMAND, kForward[i], 0);
      if (g_page == 4) tarnwick::testing::ClickControl(dialog, kWzRbSMTP);
    } else if (HWND tab = ShownTabControl(dialog)) {
      SendMessageA(tab, TCM_SETCURSEL, g_page, 0);
      NMHDR change{tab, static_cast<UINT_PTR>(GetDlgCtrlID(tab)), static_cast<UINT>(TCN_SELCHANGE)};
      SendMessageA(GetParent(tab), WM_NOTIFY, change.idFrom, reinterpret_cast<LPARAM>(&change));
    }
    RedrawWindow(dialog, nullptr, nullptr, RDW_INVALIDATE | RDW_ALLCHILDREN | RDW_UPDATENOW);
    RECT r, client;
    GetWindowRect(dialog, &r);
    GetClientRect(dialog, &client);
    if (FILE* out = std::fopen(g_rect_file.c_str(), "w")) {
      std::fprintf(out, "%ldx%ld+%ld+%ld client %ldx%ld\n", r.right - r.left, r.bottom - r.top,
                   r.left, r.top, client.right, client.bottom);
      std::fclose(out);
    }
    g_reported = true;
  } else if (GetFileAttributesA(g_rect_file.c_str()) == INVALID_FILE_ATTRIBUTES) {
    PostMessageA(dialog, WM_CLOSE, 0, 0);
  }
}

}  // namespace

int WINAPI WinMain(HINSTANCE, HINSTANCE, LPSTR, int) {
  using namespace tarnwick;
  const std::string what = __argc > 1 ? __argv[1] : "reconnect";
  g_page = __argc > 2 ? std::atoi(__argv[2]) : 0;
  g_rect_file = __argc > 3 ? __argv[3] : "dialog-rect.txt";
  InstallWin32MessageBoxes();

  MemoryRegistry registry;
  Application app;
  SetDefaultSettings(app.settings);
  app.registry = &registry;
  Settings& s = app.settings;
  s.Reconnect = true;
  s.usestartdelay = true;
  s.kaMethod = 1;
  s.kaPingHost = "192.0.2.1";
  s.kaWebSite = "http://www.example.com/";
  s.proxyname = "proxy.example.com";
  s.proxyuser = "demo";
  s.proxypass = "secret";
  s.schedenabled = true;
  s.weekdays = {2, 4, 6};
  s.connuser = "demo";
  s.connpass = "secret";
  s.usesmtp = what != "email-mapi";
  s.SMTPPort = 587;
  s.SMTPSecurity = 1;
  s.SMTPUser = "joe@example.com";
  s.SMTPPass = "s3cret";
  s.SMTPServer = "mail.example.com";
  s.MonitorIP = true;
  Notif mail, page, launch, pause;
  mail.emailNotifr = {"me@example.com",
                      "pager@example.com",
                      "New IP Address: <IPADDRESS>",
                      "Your new IP Address is: <IPADDRESS>",
                      "",
                      "",
                      3};
  page.NotifyMethod = kNotifyFtp;
  page.FTPNotifr = {"ftp.example.com",
                    "/pub/mydir/ip.html",
                    "<HTML><BODY>Your current IP Address is: <IPADDRESS></BODY></HTML>",
                    21,
                    "demo",
                    "secret"};
  launch.NotifyMethod = kNotifyLaunch;
  launch.LaunchNotifr = {"C:\\Tools\\update-dns.exe", "-ip <IPADDRESS>"};
  pause.NotifyMethod = kNotifySleep;
  pause.sseconds = 45;
  s.notifs = {pause, mail, page, launch};

  HWND main = CreateWindowExA(0, "STATIC", "Tarnwick", WS_OVERLAPPEDWINDOW, 223, 149, 438, 365,
                              nullptr, nullptr, GetModuleHandleA(nullptr), nullptr);
  ShowWindow(main, SW_SHOWNORMAL);
  SetTimer(nullptr, 0, 200, Watch);
  WatchState watch;
  if (what == "reconnect") {
    g_class = kReconnectOptionsClass;
    TfrmKXReconnect(app, watch, nullptr).ShowModal(main);
  } else if (what == "keepalive") {
    g_class = kKeepAliveOptionsClass;
    TfrmKXKeepAlive(app).ShowModal(main);
  } else if (what == "schedule" || what == "schedule-nt4") {
    g_class = kScheduleOptionsClass;
    TfrmKXSchedule(app, what == "schedule").ShowModal(main);
  } else if (what == "monitor") {
    g_class = kMonitorOptionsClass;
    StepTests tests(app, [] { return std::string(); });
    TfrmKXMonitor(app, tests).ShowModal(main);
  } else if (what.rfind("method-", 0) == 0) {
    g_class = kMethodEditorClass;
    const int position = what == "method-email"    ? 2
                         : what == "method-ftp"    ? 3
                         : what == "method-launch" ? 4
                                                   : 1;
    StepTests tests(app, [] { return std::string(); });
    TfrmMonMethod(s.notifs, position, tests).ShowModal(main);
  } else if (what == "activitylog") {
    g_class = kActivityLogOptionsClass;
    s.loggingenabled = true;
    s.noticeipchange = false;
    TfrmKXActivityLog(app, "C:\\Users\\demo\\AppData\\Local\\Tarnwick\\Tarnwick.log")
        .ShowModal(main);
  } else if (what == "welcome") {
    g_class = kWelcomeClass;
    g_wizard = true;
    // A small phonebook of the simulated RAS service.
    const std::string control = "C:\\dialog-show-rassim.txt";
    if (FILE* out = std::fopen(control.c_str(), "w")) {
      std::fputs("entry Home DSL\nentry Office ISDN\nentry Dial-up Backup\n", out);
      std::fclose(out);
    }
    SetEnvironmentVariableA("RASSIM_CONTROL", control.c_str());
    s.usesmtp = false;
    TfrmWelcome(app).ShowModal(main);
  } else {
    g_class = kEmailOptionsClass;
    Tfrmemail(app).ShowModal(main);
  }
  return 0;
}
