#include "app/message_box_win32.h"

#include <windows.h>

#include "app/message_box.h"

namespace tarnwick {
namespace {

// A box placed at a given corner: MessageBoxA has no position, so a CBT hook
// moves the box when it is about to be activated.
thread_local const ScreenPoint* g_position = nullptr;
thread_local HHOOK g_hook = nullptr;

LRESULT CALLBACK PlaceBox(int code, WPARAM wparam, LPARAM lparam) {
  if (code == HCBT_ACTIVATE && g_position) {
    SetWindowPos(reinterpret_cast<HWND>(wparam), nullptr, g_position->x, g_position->y, 0, 0,
                 SWP_NOSIZE | SWP_NOZORDER | SWP_NOACTIVATE);
    g_position = nullptr;
  }
  return CallNextHookEx(g_hook, code, wparam, lparam);
}

UINT Style(const MessageBoxRequest& request) {
  UINT style = MB_TASKMODAL;
  switch (request.icon) {
    case BoxIcon::Error:
      style |= MB_ICONERROR;
      break;
    case BoxIcon::Question:
      style |= MB_ICONQUESTION;
      break;
    case BoxIcon::Warning:
      style |= MB_ICONWARNING;
      break;
    case BoxIcon::Information:
      style |= MB_ICONINFORMATION;
      break;
    case BoxIcon::None:
      break;
  }
  switch (request.buttons) {
    case BoxButtons::Ok:
      style |= MB_OK;
      break;
    case BoxButtons::OkCancel:
      style |= MB_OKCANCEL;
      break;
    case BoxButtons::YesNo:
      style |= MB_YESNO;
      break;
  }
  return style;
}

int ShowWin32Box(const MessageBoxRequest& request) {
  if (request.position) {
    g_position = &*request.position;
    g_hook = SetWindowsHookExA(WH_CBT, PlaceBox, nullptr, GetCurrentThreadId());
  }
  const int answer = MessageBoxA(GetActiveWindow(), request.text.c_str(), request.caption.c_str(),
                                 Style(request));
  if (g_hook) {
    UnhookWindowsHookEx(g_hook);
    g_hook = nullptr;
  }
  g_position = nullptr;
  return answer;
}

}  // namespace

void InstallWin32MessageBoxes() { SetMessageBoxHandler(ShowWin32Box); }

}  // namespace tarnwick
