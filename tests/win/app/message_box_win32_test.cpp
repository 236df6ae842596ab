// The real message boxes, shown with MessageBoxA and answered by the test.
#include "app/message_box_win32.h"

#include <gtest/gtest.h>
#include <windows.h>

#include <functional>

#include "app/message_box.h"

namespace tarnwick {
namespace {

// Runs `step` from a timer while the boxes' modal loops run, until it says done.
// A box the step shows runs a modal loop that calls the step again.
std::function<bool()> g_step;
void CALLBACK OnTimer(HWND, UINT, UINT_PTR id, DWORD) {
  if (g_step && g_step()) KillTimer(nullptr, id);
}

POINT Corner(HWND box) {
  RECT r{};
  GetWindowRect(box, &r);
  return {r.left, r.top};
}

// A positioned box shown while another positioned box is open: each goes to its
// own place and takes its own hook away when it closes.
TEST(Win32MessageBoxes, NestedPositionedBoxesEachGoWhereAskedAndLeaveNoHook) {
  InstallWin32MessageBoxes();
  POINT outer_at{}, inner_at{};
  int hooks_with_both = 0, hooks_after_inner = -1;
  bool inner_shown = false;
  g_step = [&] {
    HWND outer = FindWindowA("#32770", "Outer");
    HWND inner = FindWindowA("#32770", "Inner");
    if (inner) {
      inner_at = Corner(inner);
      hooks_with_both = PositionHooksInstalled();
      PostMessageA(inner, WM_COMMAND, IDOK, 0);
      return false;
    }
    if (outer && !inner_shown) {
      inner_shown = true;
      outer_at = Corner(outer);
      ShowMessageBox({"inner", "Inner", BoxIcon::Warning, BoxButtons::Ok, ScreenPoint{300, 220}});
      hooks_after_inner = PositionHooksInstalled();
      PostMessageA(outer, WM_COMMAND, IDOK, 0);
      return true;
    }
    return false;
  };
  SetTimer(nullptr, 0, 50, OnTimer);
  ShowMessageBox({"outer", "Outer", BoxIcon::Warning, BoxButtons::Ok, ScreenPoint{40, 50}});
  g_step = nullptr;
  SetMessageBoxHandler(nullptr);

  EXPECT_EQ(outer_at.x, 40);
  EXPECT_EQ(outer_at.y, 50);
  EXPECT_EQ(inner_at.x, 300);
  EXPECT_EQ(inner_at.y, 220);
  EXPECT_EQ(hooks_with_both, 2);
  EXPECT_EQ(hooks_after_inner, 1);
  EXPECT_EQ(PositionHooksInstalled(), 0);
}

}  // namespace
}  // namespace tarnwick
