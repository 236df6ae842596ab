// The modal About window: a thread timer looks at it while its modal loop runs
// and then presses its close button, so the test never blocks.
#include <gtest/gtest.h>

#include <string>

#include "app/startup.h"
#include "ui/about_win32.h"
#include "ui/info_windows_ids.h"
#include "win/ui/info_window_fixture.h"

namespace tarnwick {
namespace {

using testing::ChildSize;
using testing::ClientSize;
using testing::FakeMain;
using testing::TextOf;

// What the timer saw of the open window. A thread timer callback has no
// context argument, hence the one instance.
struct Seen {
  HWND window = nullptr;
  bool was_enabled_main = true;
  std::string caption, name, version, button;
  LONG_PTR style = 0;
  RECT rect{};
  SIZE client{}, image{};
  int ticks = 0;
  HWND main = nullptr;
};
Seen seen;

void CALLBACK LookAndClose(HWND, UINT, UINT_PTR timer, DWORD) {
  ++seen.ticks;
  HWND about = FindWindowA(nullptr, "About Tarnwick");
  if (!about || !IsWindowVisible(about)) {
    if (seen.ticks > 100) KillTimer(nullptr, timer);  // never came: the test fails below
    return;
  }
  KillTimer(nullptr, timer);
  seen.window = about;
  seen.was_enabled_main = IsWindowEnabled(seen.main);
  seen.caption = TextOf(about);
  seen.name = TextOf(GetDlgItem(about, kAboutLabel1));
  seen.version = TextOf(GetDlgItem(about, kAboutVersion));
  seen.button = TextOf(GetDlgItem(about, kAboutBitBtn1));
  seen.style = GetWindowLongPtrA(about, GWL_STYLE);
  GetWindowRect(about, &seen.rect);
  seen.client = ClientSize(about);
  seen.image = ChildSize(about, kAboutImage1);
  PostMessageA(GetDlgItem(about, kAboutBitBtn1), BM_CLICK, 0, 0);
}

void ShowAndClose(HWND main, int dpi) {
  seen = Seen{};
  seen.main = main;
  ASSERT_NE(SetTimer(nullptr, 0, 20, LookAndClose), 0u);
  if (dpi == 0) {
    ShowAboutBox(main);
  } else {
    TfrmKXAbout about;
    about.ShowModal(main, dpi);
  }
}

TEST(AboutTest, ShowsNameAndVersionModallyAndIsGoneWhenClosed) {
  FakeMain main(200, 150, 440, 360);
  ShowAndClose(main.hwnd(), 0);
  ASSERT_NE(seen.window, nullptr) << "the About window never showed";
  EXPECT_EQ(seen.caption, "About Tarnwick");
  EXPECT_EQ(seen.name, "Tarnwick");
  EXPECT_EQ(seen.version, kVersionText);
  EXPECT_EQ(seen.button, "&Close");
  EXPECT_FALSE(seen.was_enabled_main);  // modal
  // Only the close box: a system menu, no minimize or maximize box.
  EXPECT_TRUE(seen.style & WS_SYSMENU);
  EXPECT_FALSE(seen.style & (WS_MINIMIZEBOX | WS_MAXIMIZEBOX | WS_THICKFRAME));
  // Frees itself on closing; the main window takes input again.
  EXPECT_FALSE(IsWindow(seen.window));
  EXPECT_TRUE(IsWindowEnabled(main.hwnd()));
}

TEST(AboutTest, StandsOverTheMainWindowByTheDialogRule) {
  FakeMain main(200, 150, 440, 360);
  ShowAndClose(main.hwnd(), 96);
  ASSERT_NE(seen.window, nullptr);
  EXPECT_NEAR((seen.rect.left + seen.rect.right) / 2.0, 200 + 220 + 10, 1.0);
  EXPECT_NEAR((seen.rect.top + seen.rect.bottom) / 2.0, 150 + 180, 1.0);

  FakeMain edge(testing::ScreenWidth() - 200, 100, 438, 365);
  ShowAndClose(edge.hwnd(), 96);
  ASSERT_NE(seen.window, nullptr);
  EXPECT_EQ(seen.rect.left, testing::ScreenWidth() - 200 + 10);
}

TEST(AboutTest, LaysItselfOutInPixelsForTheDpi) {
  FakeMain main(100, 100, 438, 365);
  ShowAndClose(main.hwnd(), 96);
  ASSERT_NE(seen.window, nullptr);
  EXPECT_EQ(seen.client.cx, 250);
  EXPECT_EQ(seen.client.cy, 177);
  EXPECT_EQ(seen.image.cx, 33);
  EXPECT_EQ(seen.image.cy, 33);

  ShowAndClose(main.hwnd(), 144);
  ASSERT_NE(seen.window, nullptr);
  EXPECT_EQ(seen.client.cx, 375);
  EXPECT_EQ(seen.client.cy, 266);
  EXPECT_EQ(seen.image.cx, 50);
  EXPECT_EQ(seen.image.cy, 50);
}

TEST(AboutTest, TheCloseBoxClosesIt) {
  FakeMain main(100, 100, 438, 365);
  seen = Seen{};
  seen.main = main.hwnd();
  // The title bar's close box sends WM_CLOSE.
  SetTimer(nullptr, 0, 20, [](HWND, UINT, UINT_PTR timer, DWORD) {
    if (HWND about = FindWindowA(nullptr, "About Tarnwick")) {
      KillTimer(nullptr, timer);
      seen.window = about;
      PostMessageA(about, WM_CLOSE, 0, 0);
    }
  });
  ShowAboutBox(main.hwnd());
  ASSERT_NE(seen.window, nullptr);
  EXPECT_FALSE(IsWindow(seen.window));
}

}  // namespace
}  // namespace tarnwick
