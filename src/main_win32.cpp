// The process entry: start-up, the message loop, and the way out.
#include <windows.h>

#include <cstdlib>
#include <memory>
#include <string>
#include <vector>

#include "app/application.h"
#include "app/com_win32.h"
#include "app/error.h"
#include "app/message_box.h"
#include "app/message_box_win32.h"
#include "app/registry_win32.h"
#include "app/shell_win32.h"
#include "ui/main_window_win32.h"
#include "ui/splash_win32.h"

namespace tarnwick {
namespace {

std::vector<std::string> CommandLineArgs() {
  std::vector<std::string> args;
  for (int i = 0; i < __argc; ++i) args.emplace_back(__argv[i]);
  return args;
}

// One instance per session. A second start brings the running window to the
// front (unless it is a start with Windows) and ends.
bool HandOverToRunningInstance(bool startup_launch, HANDLE& mutex) {
  mutex = CreateMutexA(nullptr, FALSE, "Local\\Tarnwick.Instance");
  if (GetLastError() != ERROR_ALREADY_EXISTS) return false;
  if (!startup_launch) {
    if (HWND running = FindWindowA(kMainWindowClass, nullptr)) {
      DWORD pid = 0;
      GetWindowThreadProcessId(running, &pid);
      AllowSetForegroundWindow(pid);
      PostMessageA(running, TMain::ShowInstanceMessage(), 0, 0);
    }
  }
  return true;
}

int Run() {
  // System libraries (RAS, MAPI, telephony) come from System32 only.
  SetDefaultDllDirectories(LOAD_LIBRARY_SEARCH_SYSTEM32);
  // Before any window: it outlives them all, and ends after the message loop.
  const ComApartment com;
  InstallWin32MessageBoxes();

  Application app;
  app.flags.StartupLaunch = HasStartupSwitch(CommandLineArgs());
  HANDLE instance_mutex = nullptr;
  if (HandOverToRunningInstance(app.flags.StartupLaunch, instance_mutex)) return 0;

  app.exe_path = ExecutablePath();
  app.flags.ProgramDir = ProgramDirOf(app.exe_path);
  app.nt_family = IsWindowsNT();
  app.end_process = [] { ExitProcess(0); };

  Win32Registry machine(HKEY_LOCAL_MACHINE), user(HKEY_CURRENT_USER);
  const SettingsRoot root = ChooseSettingsRoot(machine, user);
  app.registry = root.store;
  const char* hive = root.store == &machine ? "HKEY_LOCAL_MACHINE" : "HKEY_CURRENT_USER";
  app.settings_root = std::string(hive) + kProductKey;
  // A first start stays one when its save fails.
  app.flags.FirstStart = !root.product_key_existed;
  try {
    BringInSettings(app.settings, root);
  } catch (const Error& e) {
    // The program still runs on what is in memory; the user learns why nothing sticks.
    ShowErrorBox(e.what());
  }

  auto main_window = std::make_unique<TMain>(app);
  if (!main_window->Create()) return 1;
  if (!app.flags.StartupLaunch) main_window->ShowAtStart();
  TfrmKXSplash splash;
  if (splash.Create(main_window->hwnd(), app.flags)) splash.Show();

  MSG msg;
  while (GetMessageA(&msg, nullptr, 0, 0) > 0) {
    if (splash.PreTranslateMessage(msg)) continue;
    TranslateMessage(&msg);
    DispatchMessageA(&msg);
  }
  main_window.reset();
  if (instance_mutex) CloseHandle(instance_mutex);
  return 0;
}

}  // namespace
}  // namespace tarnwick

int WINAPI WinMain(HINSTANCE, HINSTANCE, LPSTR, int) { return tarnwick::Run(); }
