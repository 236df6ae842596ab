// Shows one option dialog with sample settings over a stand-in main window, for
// screenshots (scripts/dialog-screenshots):
//   option_dialogs_show reconnect|keepalive|schedule|schedule-nt4|email|email-mapi
//                       [page] [rect-file]
// Once the dialog shows (on tab `page`), its screen rectangle goes into
// rect-file as WxH+X+Y (then its client size); the dialog closes when that file
// is deleted again.
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
#include "ui/email_options_win32.h"
#include "ui/keepalive_options_win32.h"
#include "ui/reconnect_options_win32.h"
#include "ui/schedule_options_win32.h"

namespace {

const char* g_class = nullptr;
int g_page = 0;
std::string g_rect_file;
bool g_reported = false;

void CALLBACK Watch(HWND, UINT, UINT_PTR, DWORD) {
  HWND dialog = FindWindowA(g_class, nullptr);
  if (!dialog || !IsWindowVisible(dialog)) return;
  if (!g_reported) {
    if (HWND tab = FindWindowExA(dialog, nullptr, WC_TABCONTROLA, nullptr)) {
      SendMessageA(tab, TCM_SETCURSEL, g_page, 0);
      NMHDR change{tab, static_cast<UINT_PTR>(GetDlgCtrlID(tab)), static_cast<UINT>(TCN_SELCHANGE)};
      SendMessageA(dialog, WM_NOTIFY, change.idFrom, reinterpret_cast<LPARAM>(&change));
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
  s.SMTPServer = "mail.example.com";

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
  } else {
    g_class = kEmailOptionsClass;
    Tfrmemail(app).ShowModal(main);
  }
  return 0;
}
