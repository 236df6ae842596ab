// The splash window driven as the start-up and the user would.
#include <gtest/gtest.h>

#include <memory>

#include "ui/info_windows_ids.h"
#include "ui/splash_win32.h"
#include "win/ui/info_window_fixture.h"

namespace tarnwick {
namespace {

using testing::ChildSize;
using testing::ClientSize;
using testing::FakeMain;
using testing::ScreenHeight;
using testing::ScreenWidth;
using testing::TextOf;

StartupFlags NormalStart() {
  return StartupFlags{};
}

StartupFlags HiddenStart() {
  StartupFlags flags;
  flags.StartupLaunch = true;
  return flags;
}

RECT RectOf(HWND window) {
  RECT r;
  GetWindowRect(window, &r);
  return r;
}

TEST(SplashTest, NormalStartStandsTenPixelsRightOfTheMainWindowsCentre) {
  FakeMain main(200, 150, 440, 360);
  TfrmKXSplash splash;
  ASSERT_TRUE(splash.Create(main.hwnd(), NormalStart(), 96));
  splash.Show();
  const RECT r = RectOf(splash.hwnd());
  const double centre_x = (r.left + r.right) / 2.0, centre_y = (r.top + r.bottom) / 2.0;
  EXPECT_NEAR(centre_x, 200 + 220 + 10, 1.0);
  EXPECT_NEAR(centre_y, 150 + 180, 1.0);
}

TEST(SplashTest, NormalStartNearTheScreenEdgeStandsAtTheMainWindowsCorner) {
  const int left = ScreenWidth() - 300, top = ScreenHeight() - 200;
  FakeMain main(left, top, 438, 365);
  TfrmKXSplash splash;
  ASSERT_TRUE(splash.Create(main.hwnd(), NormalStart(), 96));
  const RECT r = RectOf(splash.hwnd());
  EXPECT_EQ(r.left, left + 10);
  EXPECT_EQ(r.top, top);
}

TEST(SplashTest, HiddenStartIsCentredOnTheScreenAndLeavesTheMainWindowHidden) {
  FakeMain main(0, 0, 438, 365, /*visible=*/false);
  TfrmKXSplash splash;
  ASSERT_TRUE(splash.Create(main.hwnd(), HiddenStart(), 96));
  splash.Show();
  const RECT r = RectOf(splash.hwnd());
  EXPECT_NEAR((r.left + r.right) / 2.0, ScreenWidth() / 2.0, 1.0);
  EXPECT_NEAR((r.top + r.bottom) / 2.0, ScreenHeight() / 2.0, 1.0);
  EXPECT_TRUE(IsWindowVisible(splash.hwnd()));
  EXPECT_FALSE(IsWindowVisible(main.hwnd()));
}

TEST(SplashTest, IsATopmostFrameWithAnEmptyTitleAndNoTitleButtons) {
  FakeMain main(100, 100, 438, 365);
  TfrmKXSplash splash;
  ASSERT_TRUE(splash.Create(main.hwnd(), NormalStart(), 96));
  splash.Show();
  const LONG_PTR style = GetWindowLongPtrA(splash.hwnd(), GWL_STYLE);
  const LONG_PTR ex_style = GetWindowLongPtrA(splash.hwnd(), GWL_EXSTYLE);
  EXPECT_TRUE(ex_style & WS_EX_TOPMOST);
  EXPECT_EQ(style & WS_CAPTION, WS_CAPTION);
  EXPECT_FALSE(style & (WS_SYSMENU | WS_MINIMIZEBOX | WS_MAXIMIZEBOX | WS_THICKFRAME));
  EXPECT_EQ(TextOf(splash.hwnd()), "");
  // Not modal: the main window still takes input.
  EXPECT_TRUE(IsWindowEnabled(main.hwnd()));
}

TEST(SplashTest, ShowsTheNameAndTheVersionText) {
  FakeMain main(100, 100, 438, 365);
  TfrmKXSplash splash;
  ASSERT_TRUE(splash.Create(main.hwnd(), NormalStart(), 96));
  EXPECT_EQ(TextOf(GetDlgItem(splash.hwnd(), kSplashProductName)), "Tarnwick");
  EXPECT_EQ(TextOf(GetDlgItem(splash.hwnd(), kSplashVersion)), kVersionText);
  EXPECT_EQ(TextOf(GetDlgItem(splash.hwnd(), kSplashButton2)), "Close");
}

TEST(SplashTest, LaysItselfOutInPixelsWithThePicturesOfTheDpi) {
  FakeMain main(100, 100, 438, 365);
  struct Case {
    int dpi, client_w, client_h, strip_w, strip_h, small_w, small_h;
  } cases[] = {{96, 345, 177, 84, 177, 33, 27}, {144, 518, 266, 126, 266, 50, 41}};
  for (const Case& c : cases) {
    SCOPED_TRACE(c.dpi);
    TfrmKXSplash splash;
    ASSERT_TRUE(splash.Create(main.hwnd(), NormalStart(), c.dpi));
    const SIZE client = ClientSize(splash.hwnd());
    EXPECT_EQ(client.cx, c.client_w);
    EXPECT_EQ(client.cy, c.client_h);
    // Each picture is shown 1:1 in a control of its own size: no blurry stretch.
    EXPECT_EQ(splash.Image1().width(), c.strip_w);
    EXPECT_EQ(splash.Image1().height(), c.strip_h);
    EXPECT_EQ(ChildSize(splash.hwnd(), kSplashImage1).cx, c.strip_w);
    EXPECT_EQ(ChildSize(splash.hwnd(), kSplashImage1).cy, c.strip_h);
    EXPECT_EQ(splash.Image2().width(), c.small_w);
    EXPECT_EQ(splash.Image2().height(), c.small_h);
    EXPECT_EQ(ChildSize(splash.hwnd(), kSplashImage2).cx, c.small_w);
    EXPECT_EQ(ChildSize(splash.hwnd(), kSplashImage2).cy, c.small_h);
  }
}

TEST(SplashTest, CloseHidesItAndKeepsItForAnotherShowing) {
  FakeMain main(100, 100, 438, 365);
  TfrmKXSplash splash;
  ASSERT_TRUE(splash.Create(main.hwnd(), NormalStart(), 96));
  splash.Show();
  HWND hwnd = splash.hwnd();
  SendMessageA(GetDlgItem(hwnd, kSplashButton2), BM_CLICK, 0, 0);
  EXPECT_FALSE(IsWindowVisible(hwnd));
  EXPECT_TRUE(IsWindow(hwnd));
  EXPECT_EQ(splash.hwnd(), hwnd);
  splash.Show();
  EXPECT_TRUE(IsWindowVisible(hwnd));
  // The frame's close request (Alt+F4) hides it too.
  SendMessageA(hwnd, WM_CLOSE, 0, 0);
  EXPECT_FALSE(IsWindowVisible(hwnd));
  EXPECT_TRUE(IsWindow(hwnd));
}

TEST(SplashTest, EscapeThroughTheMessageLoopClosesIt) {
  FakeMain main(100, 100, 438, 365);
  TfrmKXSplash splash;
  ASSERT_TRUE(splash.Create(main.hwnd(), NormalStart(), 96));
  splash.Show();
  MSG msg{GetDlgItem(splash.hwnd(), kSplashButton2), WM_KEYDOWN, VK_ESCAPE, 0, 0, {}};
  EXPECT_TRUE(splash.PreTranslateMessage(msg));
  EXPECT_FALSE(IsWindowVisible(splash.hwnd()));
  // Hidden, it no longer takes the loop's messages.
  MSG other{main.hwnd(), WM_KEYDOWN, VK_ESCAPE, 0, 0, {}};
  EXPECT_FALSE(splash.PreTranslateMessage(other));
}

TEST(SplashTest, GoesWithItsOwnerWithoutDanglingHandles) {
  auto main = std::make_unique<FakeMain>(100, 100, 438, 365);
  TfrmKXSplash splash;
  ASSERT_TRUE(splash.Create(main->hwnd(), NormalStart(), 96));
  HWND hwnd = splash.hwnd();
  main.reset();
  EXPECT_FALSE(IsWindow(hwnd));
  EXPECT_EQ(splash.hwnd(), nullptr);
  splash.Show();  // harmless once the window is gone
  splash.Button2Click();
}

}  // namespace
}  // namespace tarnwick
