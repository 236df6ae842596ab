// bench_bare: the reference program of the benchmark. The least a Win32 program
// with a window and a notification-area icon does: no timers, no work between
// messages. It closes the way the program does (the close box trims the working
// set and hides the window; the end of the session ends it), so that both are
// measured in the same states.
//   bench_bare            shows the window and adds the icon
//   bench_bare timer      the same with a 1 s timer whose handler does nothing
//                         (class TarnwickBenchBareTimer): what waking up once a
//                         second costs by itself
// kBlockMessage (WM_APP + 1, wParam = milliseconds) keeps the thread from
// answering for that long: the bench checks its prober against it.
#include <windows.h>
#include <shellapi.h>

namespace {

constexpr const char* kClass = "TarnwickBenchBare";
constexpr const char* kTimerClass = "TarnwickBenchBareTimer";
constexpr UINT_PTR kTimerId = 1;
constexpr UINT kTrayMessage = WM_USER;
constexpr UINT kTrayId = 1;
constexpr UINT kBlockMessage = WM_APP + 1;

NOTIFYICONDATAA tray{};

void TrimWorkingSet() {
  SetProcessWorkingSetSize(GetCurrentProcess(), static_cast<SIZE_T>(-1), static_cast<SIZE_T>(-1));
}

LRESULT CALLBACK WindowProc(HWND hwnd, UINT message, WPARAM wparam, LPARAM lparam) {
  switch (message) {
    case WM_CLOSE:
      TrimWorkingSet();
      ShowWindow(hwnd, SW_HIDE);
      return 0;
    case WM_QUERYENDSESSION:
      return TRUE;
    case WM_ENDSESSION:
      if (wparam) DestroyWindow(hwnd);
      return 0;
    case WM_DESTROY:
      Shell_NotifyIconA(NIM_DELETE, &tray);
      PostQuitMessage(0);
      return 0;
    case WM_TIMER:
      return 0;
    case kBlockMessage:
      Sleep(static_cast<DWORD>(wparam));
      return 0;
    default:
      return DefWindowProcA(hwnd, message, wparam, lparam);
  }
}

}  // namespace

int WINAPI WinMain(HINSTANCE instance, HINSTANCE, LPSTR command_line, int) {
  const bool with_timer = lstrcmpiA(command_line, "timer") == 0;
  const char* class_name = with_timer ? kTimerClass : kClass;
  WNDCLASSA window_class{};
  window_class.lpfnWndProc = WindowProc;
  window_class.hInstance = instance;
  window_class.hIcon = LoadIconA(nullptr, IDI_APPLICATION);
  window_class.hCursor = LoadCursorA(nullptr, IDC_ARROW);
  window_class.hbrBackground = reinterpret_cast<HBRUSH>(COLOR_BTNFACE + 1);
  window_class.lpszClassName = class_name;
  if (!RegisterClassA(&window_class)) return 1;
  // The program's design size.
  HWND hwnd = CreateWindowExA(0, class_name, "Bench Bare", WS_OVERLAPPEDWINDOW, CW_USEDEFAULT,
                              CW_USEDEFAULT, 438, 365, nullptr, nullptr, instance, nullptr);
  if (!hwnd) return 1;
  tray.cbSize = NOTIFYICONDATAA_V1_SIZE;
  tray.hWnd = hwnd;
  tray.uID = kTrayId;
  tray.uCallbackMessage = kTrayMessage;
  tray.hIcon = window_class.hIcon;
  lstrcpynA(tray.szTip, "Bench Bare", sizeof tray.szTip);
  tray.uFlags = NIF_MESSAGE | NIF_ICON | NIF_TIP;
  Shell_NotifyIconA(NIM_ADD, &tray);
  ShowWindow(hwnd, SW_SHOWNORMAL);
  UpdateWindow(hwnd);
  if (with_timer) SetTimer(hwnd, kTimerId, 1000, nullptr);

  MSG msg;
  while (GetMessageA(&msg, nullptr, 0, 0) > 0) {
    TranslateMessage(&msg);
    DispatchMessageA(&msg);
  }
  return 0;
}
