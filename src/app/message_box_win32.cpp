#include "app/message_box_win32.h"

#include <windows.h>

#include <optional>

#include "app/message_box.h"

namespace tarnwick {
namespace {

// A box placed at a given corner: MessageBoxA has no position, so a hook moves
// the box once its WM_INITDIALOG has returned, after the box has centred itself
// (an activation hook comes too early on some systems: the centring then undoes
// the move). Each positioned box keeps its own hook and target for as long as it
// is open: a box may be shown from inside another one's modal loop, and each
// must find its own place and remove its own hook.
struct PositionedBox {
  ScreenPoint position;
  bool placed = false;
  PositionedBox* outer = nullptr;
};
thread_local PositionedBox* g_innermost = nullptr;  // the box shown last and still open
thread_local int g_position_hooks = 0;

LRESULT CALLBACK PlaceBox(int code, WPARAM wparam, LPARAM lparam) {
  const auto* call = reinterpret_cast<const CWPRETSTRUCT*>(lparam);
  // The first dialog initialised after a positioned box is asked for is that box.
  if (code == HC_ACTION && call->message == WM_INITDIALOG && g_innermost &&
      !g_innermost->placed) {
    SetWindowPos(call->hwnd, nullptr, g_innermost->position.x, g_innermost->position.y, 0, 0,
                 SWP_NOSIZE | SWP_NOZORDER | SWP_NOACTIVATE);
    g_innermost->placed = true;
  }
  return CallNextHookEx(nullptr, code, wparam, lparam);
}

// Installs the hook for one box and removes it when the box is gone.
class PositionHook {
 public:
  explicit PositionHook(const ScreenPoint& position) : box_{position, false, g_innermost} {
    g_innermost = &box_;
    hook_ = SetWindowsHookExA(WH_CALLWNDPROCRET, PlaceBox, nullptr, GetCurrentThreadId());
    if (hook_) ++g_position_hooks;
  }
  ~PositionHook() {
    if (hook_ && UnhookWindowsHookEx(hook_)) --g_position_hooks;
    g_innermost = box_.outer;
  }
  PositionHook(const PositionHook&) = delete;
  PositionHook& operator=(const PositionHook&) = delete;

 private:
  PositionedBox box_;
  HHOOK hook_ = nullptr;
};

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
  std::optional<PositionHook> hook;
  if (request.position) hook.emplace(*request.position);
  return MessageBoxA(GetActiveWindow(), request.text.c_str(), request.caption.c_str(),
                     Style(request));
}

}  // namespace

void InstallWin32MessageBoxes() { SetMessageBoxHandler(ShowWin32Box); }

int PositionHooksInstalled() { return g_position_hooks; }

}  // namespace tarnwick
