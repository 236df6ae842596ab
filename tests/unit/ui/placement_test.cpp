#include "ui/placement.h"

#include <gtest/gtest.h>

namespace tarnwick {
namespace {

struct Case {
  const char* what;
  WindowGeometry stored;
  ScreenSize screen;
  WindowRect expected;
};

TEST(PlaceMainWindow, KeepsTheWindowOnTheScreen) {
  const Case cases[] = {
      {"as stored", {0, 385, 440, 50, 50}, {1024, 768}, {50, 50, 440, 385}},
      {"far right: 1000 + 110 >= 1014", {0, 385, 440, 1000, 50}, {1024, 768}, {0, 0, 440, 385}},
      {"just fits: 900 + 110 < 1014", {0, 385, 440, 900, 50}, {1024, 768}, {900, 50, 440, 385}},
      {"far down", {0, 400, 440, 50, 700}, {1024, 768}, {0, 0, 440, 400}},
      {"quarter rounds: 988 + 25.5 -> 26 reaches 1014", {0, 385, 102, 988, 50}, {1024, 768},
       {0, 0, 102, 385}},
      {"negative left", {0, 385, 440, -20, 30}, {1024, 768}, {0, 30, 440, 385}},
      {"negative top", {0, 385, 440, 30, -5}, {1024, 768}, {30, 0, 440, 385}},
      {"too wide, large screen", {0, 385, 1010, 0, 0}, {1024, 768}, {0, 0, 725, 385}},
      {"too wide, small screen", {0, 385, 700, 0, 0}, {640, 480}, {0, 0, 600, 385}},
      {"widest that fits", {0, 385, 999, 0, 0}, {1024, 768}, {0, 0, 999, 385}},
      {"too high, large screen", {0, 750, 440, 0, 0}, {1024, 768}, {0, 0, 440, 516}},
      {"too high, small screen", {0, 470, 440, 0, 0}, {640, 480}, {0, 0, 440, 450}},
  };
  for (const Case& c : cases) {
    const Placement p = PlaceMainWindow(c.stored, c.screen);
    EXPECT_FALSE(p.maximized) << c.what;
    EXPECT_EQ(p.bounds.left, c.expected.left) << c.what;
    EXPECT_EQ(p.bounds.top, c.expected.top) << c.what;
    EXPECT_EQ(p.bounds.width, c.expected.width) << c.what;
    EXPECT_EQ(p.bounds.height, c.expected.height) << c.what;
  }
}

TEST(PlaceMainWindow, AMaximizedWindowOpensMaximizedWhateverItsBounds) {
  EXPECT_TRUE(PlaceMainWindow({1, 5000, 5000, -900, 9000}, {1024, 768}).maximized);
}

TEST(CentreOnScreen, RoundsHalvesToEven) {
  const WindowRect r = CentreOnScreen({0, 0, 440, 385}, {1024, 768});
  EXPECT_EQ(r.left, 512 - 220);
  EXPECT_EQ(r.top, 384 - 192);  // 192.5 rounds to 192
  EXPECT_EQ(CentreOnScreen({0, 0, 441, 387}, {1025, 768}).left, 512 - 220);  // 512.5, 220.5
  EXPECT_EQ(CentreOnScreen({0, 0, 441, 387}, {1025, 768}).top, 384 - 194);   // 193.5 -> 194
}

TEST(PlaceDialogOver, CentresTenPixelsRightWhenItFits) {
  const WindowRect main{50, 50, 440, 385};
  WindowRect d = PlaceDialogOver(main, 345, 177, {1024, 768});
  EXPECT_EQ(d.left, 50 + 220 - 172 + 10);  // 172.5 rounds to 172
  EXPECT_EQ(d.top, 50 + 192 - 88);         // 192.5 -> 192, 88.5 -> 88
  EXPECT_EQ(d.width, 345);

  d = PlaceDialogOver({800, 600, 440, 385}, 345, 177, {1024, 768});
  EXPECT_EQ(d.left, 810);
  EXPECT_EQ(d.top, 600);
}

// Exit while maximized or minimized stores the normal bounds: read in workspace
// coordinates, they must come back to the screen's, or each Exit moves the window.
TEST(WorkspaceToScreen, AddsTheWorkAreasOffsetOnItsMonitor) {
  struct Case {
    const char* what;
    WindowRect monitor, work_area;
    int left, top;
  };
  const Case cases[] = {
      {"taskbar at the bottom", {0, 0, 1024, 768}, {0, 0, 1024, 728}, 100, 120},
      {"taskbar at the top", {0, 0, 1024, 768}, {0, 40, 1024, 728}, 100, 160},
      {"taskbar at the left", {0, 0, 1024, 768}, {60, 0, 964, 768}, 160, 120},
      {"second monitor, taskbar at its top", {1024, 0, 1280, 1024}, {1024, 30, 1280, 994}, 100, 150},
  };
  for (const Case& c : cases) {
    const WindowRect r = WorkspaceToScreen({100, 120, 440, 385}, c.monitor, c.work_area);
    EXPECT_EQ(r.left, c.left) << c.what;
    EXPECT_EQ(r.top, c.top) << c.what;
    EXPECT_EQ(r.width, 440) << c.what;
    EXPECT_EQ(r.height, 385) << c.what;
  }
}

}  // namespace
}  // namespace tarnwick

#include "ui/main_layout.h"

namespace tarnwick {
namespace {

TEST(LayoutPanel, TheBandNarrowsThenTheScrollBarsCome) {
  // R = 391 (group at 8, 383 wide).
  EXPECT_EQ(LayoutPanel(391, 241, 432, 300).band_width, 30);  // 431 < 432
  EXPECT_EQ(LayoutPanel(391, 241, 431, 300).band_width, 30);  // 391 + 40 = 431: not below
  EXPECT_EQ(LayoutPanel(391, 241, 420, 300).band_width, 19);
  EXPECT_EQ(LayoutPanel(391, 241, 401, 300).band_width, 0);
  EXPECT_EQ(LayoutPanel(391, 241, 400, 300).band_width, 0);
  EXPECT_FALSE(LayoutPanel(391, 241, 402, 300).horizontal_scroll);
  EXPECT_TRUE(LayoutPanel(391, 241, 401, 300).horizontal_scroll);
  EXPECT_FALSE(LayoutPanel(391, 241, 500, 242).vertical_scroll);
  EXPECT_TRUE(LayoutPanel(391, 241, 500, 241).vertical_scroll);
}

}  // namespace
}  // namespace tarnwick
