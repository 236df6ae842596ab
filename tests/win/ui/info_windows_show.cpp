// Shows the splash or the About window over a stand-in main window until it is
// closed, for screenshots:
//   info_windows_show splash|splash-hidden|about [dpi]
// The splash run ends when its Close button hides it.
#include <windows.h>

#include <cstdlib>
#include <cstring>

#include "app/startup.h"
#include "ui/about_win32.h"
#include "ui/splash_win32.h"

int WINAPI WinMain(HINSTANCE, HINSTANCE, LPSTR, int) {
  using namespace tarnwick;
  const char* what = __argc > 1 ? __argv[1] : "splash";
  const int dpi = __argc > 2 ? std::atoi(__argv[2]) : 0;
  HWND main = CreateWindowExA(0, "STATIC", "Tarnwick", WS_OVERLAPPEDWINDOW, 223, 149, 438, 365,
                              nullptr, nullptr, GetModuleHandleA(nullptr), nullptr);
  if (std::strcmp(what, "about") == 0) {
    ShowWindow(main, SW_SHOWNORMAL);
    ShowAboutBox(main);
    return 0;
  }
  StartupFlags flags;
  flags.StartupLaunch = std::strcmp(what, "splash-hidden") == 0;
  if (!flags.StartupLaunch) ShowWindow(main, SW_SHOWNORMAL);
  TfrmKXSplash splash;
  if (!splash.Create(main, flags, dpi)) return 1;
  splash.Show();
  MSG msg;
  while (IsWindowVisible(splash.hwnd()) && GetMessageA(&msg, nullptr, 0, 0) > 0) {
    if (splash.PreTranslateMessage(msg)) continue;
    TranslateMessage(&msg);
    DispatchMessageA(&msg);
  }
  return 0;
}
