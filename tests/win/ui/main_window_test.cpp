// The main window's ways of closing, hiding and ending, driven with real messages.
#include "ui/main_window_win32.h"

#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <commctrl.h>

#include <utility>

#include "app/memory_registry.h"
#include "app/message_loop_win32.h"
#include "app/settings_store.h"
#include "support/message_box_recorder.h"

namespace tarnwick {
namespace {

using ::testing::ElementsAre;

class MainWindowTest : public ::testing::Test {
 protected:
  void SetUp() override {
    SetDefaultSettings(app.settings);
    app.registry = &registry;
    app.exe_path = "C:\\Program Files\\Tarnwick\\tarnwick.exe";
    app.end_process = [this] { ++process_ends; };
  }

  void TearDown() override {
    window.reset();
    ResetMessageLoopState();
  }

  TMain& Create() {
    window = std::make_unique<TMain>(app);
    EXPECT_TRUE(window->Create());
    return *window;
  }

  static bool QuitPosted() {
    MSG msg;
    return PeekMessageA(&msg, nullptr, WM_QUIT, WM_QUIT, PM_NOREMOVE) != 0;
  }

  WindowGeometry Stored() {
    Settings loaded;
    SetDefaultSettings(loaded);
    LoadSettings(loaded, registry);
    return loaded.Main;
  }

  bool Wrote() const {
    for (const auto& entry : registry.log) {
      if (entry.rfind("write", 0) == 0) return true;
    }
    return false;
  }

  Application app;
  MemoryRegistry registry;
  testing::MessageBoxRecorder boxes;
  int process_ends = 0;
  std::unique_ptr<TMain> window;
};

TEST_F(MainWindowTest, OpensAtTheStoredPlaceAndSize) {
  app.settings.Main = {0, 300, 420, 40, 60};
  HWND hwnd = Create().hwnd();
  RECT r;
  GetWindowRect(hwnd, &r);
  EXPECT_EQ(r.left, 40);
  EXPECT_EQ(r.top, 60);
  EXPECT_EQ(r.right - r.left, 420);
  EXPECT_EQ(r.bottom - r.top, 300);
  char caption[64];
  GetWindowTextA(hwnd, caption, sizeof caption);
  EXPECT_STREQ(caption, "Tarnwick");
}

TEST_F(MainWindowTest, ClosingANormalWindowHidesItAndStoresItsBounds) {
  HWND hwnd = Create().hwnd();
  ShowWindow(hwnd, SW_SHOWNORMAL);
  SetWindowPos(hwnd, nullptr, 100, 120, 500, 400, SWP_NOZORDER);
  SendMessageA(hwnd, WM_CLOSE, 0, 0);
  EXPECT_TRUE(IsWindow(hwnd));
  EXPECT_FALSE(IsWindowVisible(hwnd));
  EXPECT_FALSE(QuitPosted());
  EXPECT_EQ(Stored(), (WindowGeometry{0, 400, 500, 100, 120}));
}

TEST_F(MainWindowTest, MaximizedSetsStatusAndRestoringClearsIt) {
  HWND hwnd = Create().hwnd();
  SetWindowPos(hwnd, nullptr, 70, 80, 450, 350, SWP_NOZORDER);
  ShowWindow(hwnd, SW_SHOWMAXIMIZED);
  SendMessageA(hwnd, WM_CLOSE, 0, 0);
  EXPECT_EQ(Stored().Status, 1);
  EXPECT_EQ(Stored().Left, 50);  // a maximized close keeps the stored bounds

  ShowWindow(hwnd, SW_SHOWMAXIMIZED);
  ShowWindow(hwnd, SW_RESTORE);
  SendMessageA(hwnd, WM_CLOSE, 0, 0);
  EXPECT_EQ(Stored(), (WindowGeometry{0, 350, 450, 70, 80}));
}

TEST_F(MainWindowTest, ClosingAMinimizedWindowWritesNothing) {
  HWND hwnd = Create().hwnd();
  ShowWindow(hwnd, SW_SHOWMINIMIZED);
  registry.log.clear();
  SendMessageA(hwnd, WM_CLOSE, 0, 0);
  EXPECT_FALSE(Wrote());
  EXPECT_FALSE(IsWindowVisible(hwnd));
}

TEST_F(MainWindowTest, ExitWhileHiddenStoresTheLastBoundsAndEnds) {
  app.settings.Main.Status = 1;  // Exit keeps Status as it is
  HWND hwnd = Create().hwnd();
  ShowWindow(hwnd, SW_SHOWNORMAL);
  SetWindowPos(hwnd, nullptr, 30, 40, 460, 370, SWP_NOZORDER);
  ShowWindow(hwnd, SW_HIDE);
  SendMessageA(hwnd, WM_COMMAND, kCmdExitProgram, 0);
  EXPECT_TRUE(QuitPosted());
  EXPECT_EQ(Stored(), (WindowGeometry{1, 370, 460, 30, 40}));
}

TEST_F(MainWindowTest, SessionEndWritesTheSettingsAndEndsTheProgram) {
  HWND hwnd = Create().hwnd();
  ShowWindow(hwnd, SW_SHOWNORMAL);
  SetWindowPos(hwnd, nullptr, 10, 20, 400, 300, SWP_NOZORDER);

  // The session may end: the answer is yes, the window hides, the settings are written.
  EXPECT_EQ(SendMessageA(hwnd, WM_QUERYENDSESSION, 0, 0), TRUE);
  EXPECT_TRUE(app.flags.SessionEnding);
  EXPECT_FALSE(IsWindowVisible(hwnd));
  EXPECT_FALSE(QuitPosted());
  EXPECT_EQ(Stored(), (WindowGeometry{0, 300, 400, 10, 20}));

  SendMessageA(hwnd, WM_ENDSESSION, TRUE, 0);
  EXPECT_TRUE(QuitPosted());
  EXPECT_TRUE(window->tmShutdown().Enabled());
  EXPECT_EQ(window->tmShutdown().Interval(), 3000u);

  // Still running three seconds later: the shutdown timer ends the process.
  registry.log.clear();
  SendMessageA(hwnd, WM_TIMER, kTimerShutdown, 0);
  EXPECT_EQ(process_ends, 1);
  EXPECT_FALSE(Wrote());
}

// A save that fails while the program closes: shown, and the close goes on as
// asked; never a box inside the session query, which would hold up the logoff.
TEST_F(MainWindowTest, AFailingSaveIsShownExceptWhileTheSessionEnds) {
  struct Case {
    const char* what;
    UINT message;
    WPARAM wparam;
    size_t boxes;
    bool quit;
  };
  registry.FailWritesOf("version");
  for (const Case& c : {Case{"session query", WM_QUERYENDSESSION, 0, 0, false},
                        Case{"Exit", WM_COMMAND, kCmdExitProgram, 1, true},
                        Case{"close box", WM_CLOSE, 0, 1, false}}) {
    HWND hwnd = Create().hwnd();
    ShowWindow(hwnd, SW_SHOWNORMAL);
    const LRESULT answer = SendMessageA(hwnd, c.message, c.wparam, 0);
    if (c.message == WM_QUERYENDSESSION) {
      EXPECT_EQ(answer, TRUE);
    }
    ASSERT_EQ(boxes.boxes.size(), c.boxes) << c.what;
    if (c.boxes) {
      EXPECT_EQ(boxes.boxes[0].text, "Failed to set data for 'version'") << c.what;
      EXPECT_EQ(boxes.boxes[0].icon, BoxIcon::Error) << c.what;
    }
    EXPECT_EQ(QuitPosted(), c.quit) << c.what;
    if (!c.quit) {
      EXPECT_FALSE(IsWindowVisible(hwnd)) << c.what;
    }
    window.reset();
    ResetMessageLoopState();
    boxes.boxes.clear();
    app.flags.SessionEnding = false;
  }
}

TEST_F(MainWindowTest, ACancelledSessionEndKeepsTheProgramRunning) {
  HWND hwnd = Create().hwnd();
  SendMessageA(hwnd, WM_QUERYENDSESSION, 0, 0);
  SendMessageA(hwnd, WM_ENDSESSION, FALSE, 0);
  EXPECT_FALSE(QuitPosted());
  EXPECT_FALSE(app.flags.SessionEnding);
  SendMessageA(hwnd, WM_CLOSE, 0, 0);  // closing hides again
  EXPECT_FALSE(QuitPosted());
}

TEST_F(MainWindowTest, TrayCallbackActsOnItsThreeEventsOnly) {
  HWND hwnd = Create().hwnd();
  ShowWindow(hwnd, SW_HIDE);
  for (LPARAM ignored : {WM_LBUTTONDOWN, WM_RBUTTONUP, WM_MOUSEMOVE, WM_LBUTTONUP}) {
    SendMessageA(hwnd, kTrayCallbackMessage, kTrayIconId, ignored);
  }
  EXPECT_FALSE(IsWindowVisible(hwnd));
  EXPECT_TRUE(boxes.boxes.empty());
  EXPECT_FALSE(QuitPosted());

  SendMessageA(hwnd, kTrayCallbackMessage, kTrayIconId, WM_LBUTTONDBLCLK);
  EXPECT_TRUE(IsWindowVisible(hwnd));

  SendMessageA(hwnd, kTrayCallbackMessage, kTrayIconId, 0x0011);
  EXPECT_THAT(boxes.texts(), ElementsAre("Ending application."));
  EXPECT_EQ(boxes.boxes[0].icon, BoxIcon::Warning);
  EXPECT_TRUE(QuitPosted());
}

TEST_F(MainWindowTest, ASecondInstanceBringsTheWindowBack) {
  HWND hwnd = Create().hwnd();
  ShowWindow(hwnd, SW_HIDE);
  SendMessageA(hwnd, TMain::ShowInstanceMessage(), 0, 0);
  EXPECT_TRUE(IsWindowVisible(hwnd));
}

TEST_F(MainWindowTest, TheTrayIconLivesFromCreationToDestructionAndSurvivesExplorer) {
  HWND hwnd = Create().hwnd();
  ASSERT_TRUE(window->Tray().Shown());
  NOTIFYICONDATAA probe{};
  probe.cbSize = NOTIFYICONDATAA_V1_SIZE;
  probe.hWnd = hwnd;
  probe.uID = kTrayIconId;
  EXPECT_TRUE(Shell_NotifyIconA(NIM_MODIFY, &probe));  // the icon is there

  // Explorer restarted: the icon is added again (an add of a kept icon falls back to modify).
  SendMessageA(hwnd, TrayIcon::TaskbarCreatedMessage(), 0, 0);
  EXPECT_TRUE(window->Tray().Shown());

  DestroyWindow(hwnd);
  EXPECT_FALSE(window->Tray().Shown());
  EXPECT_FALSE(Shell_NotifyIconA(NIM_MODIFY, &probe));  // and gone
}

TEST_F(MainWindowTest, AFirstStartCentresTheWindowAndRegistersTheStartWithWindows) {
  app.flags.FirstStart = true;
  HWND hwnd = Create().hwnd();
  RECT r;
  GetWindowRect(hwnd, &r);
  const int screen_w = GetSystemMetrics(SM_CXSCREEN), screen_h = GetSystemMetrics(SM_CYSCREEN);
  EXPECT_NEAR(r.left, screen_w / 2 - 220, 1);
  EXPECT_NEAR(r.top, screen_h / 2 - 192, 1);
  EXPECT_EQ(registry.Get(kRunKeyPath, "Tarnwick"),
            RegText("\"C:\\Program Files\\Tarnwick\\tarnwick.exe\" startup"));
}

TEST_F(MainWindowTest, ARefusedRunValueIsReportedAndTheWindowStillGetsItsIcon) {
  app.flags.FirstStart = true;
  registry.DenyKey(kRunKeyPath);
  Create();
  ASSERT_EQ(boxes.boxes.size(), 1u);
  EXPECT_EQ(boxes.boxes[0].caption, "Tarnwick");
  EXPECT_EQ(boxes.boxes[0].icon, BoxIcon::Error);
  EXPECT_TRUE(window->Tray().Shown());
}

std::string MenuText(HMENU menu, UINT position) {
  char text[128] = {};
  GetMenuStringA(menu, position, text, sizeof text, MF_BYPOSITION);
  return text;
}

TEST_F(MainWindowTest, TheMenuBarCarriesItsFourMenus) {
  HMENU bar = Create().MainMenu1();
  ASSERT_EQ(GetMenuItemCount(bar), 4);
  EXPECT_EQ(MenuText(bar, 0), "File");
  EXPECT_EQ(MenuText(bar, 1), "Options");
  EXPECT_EQ(MenuText(bar, 2), "Links");
  EXPECT_EQ(MenuText(bar, 3), "Help");
  HMENU file = GetSubMenu(bar, 0);
  EXPECT_EQ(MenuText(file, 0), "View Activity Log");
  EXPECT_EQ(MenuText(file, 2), "Close");
  HMENU options = GetSubMenu(bar, 1);
  EXPECT_EQ(MenuText(options, 0), "email Settings...");
  EXPECT_EQ(MenuText(options, 1), "Activity Log...");
  EXPECT_EQ(GetMenuState(options, 2, MF_BYPOSITION) & MF_SEPARATOR, static_cast<UINT>(MF_SEPARATOR));
  EXPECT_EQ(MenuText(options, 3), "Start Tarnwick on Windows Startup");
  HMENU links = GetSubMenu(bar, 2);
  EXPECT_EQ(MenuText(links, 0), "Support...");
  EXPECT_EQ(MenuText(links, 2), "Fenmoor Software Home Page...");
  HMENU help = GetSubMenu(bar, 3);
  EXPECT_EQ(MenuText(help, 0), "Contents...");
  EXPECT_EQ(MenuText(help, 2), "About");
}

TEST_F(MainWindowTest, TheToolbarHasFourLargeButtonsWithTheirCaptionsAsHints) {
  const MainControls& c = Create().Controls();
  ASSERT_EQ(SendMessageA(c.toolbar, TB_BUTTONCOUNT, 0, 0), 4);
  const char* expected[] = {"Reconnect", "IP Monitor", "Scheduler", "Keep-Alive"};
  for (int i = 0; i < 4; ++i) {
    TBBUTTON button{};
    SendMessageA(c.toolbar, TB_GETBUTTON, i, reinterpret_cast<LPARAM>(&button));
    char text[64] = {};
    SendMessageA(c.toolbar, TB_GETBUTTONTEXTA, button.idCommand, reinterpret_cast<LPARAM>(text));
    EXPECT_STREQ(text, expected[i]);

    NMTTDISPINFOA tip{};
    tip.hdr.hwndFrom = reinterpret_cast<HWND>(SendMessageA(c.toolbar, TB_GETTOOLTIPS, 0, 0));
    tip.hdr.idFrom = button.idCommand;
    tip.hdr.code = TTN_GETDISPINFOA;
    SendMessageA(window->hwnd(), WM_NOTIFY, 0, reinterpret_cast<LPARAM>(&tip));
    ASSERT_TRUE(tip.lpszText);
    EXPECT_STREQ(tip.lpszText, expected[i]);
  }
}

TEST_F(MainWindowTest, TheStatusPicturesHaveTheirHints) {
  const MainControls& c = Create().Controls();
  ASSERT_TRUE(c.hints);
  EXPECT_EQ(SendMessageA(c.hints, TTM_GETTOOLCOUNT, 0, 0), 2);
  for (const auto& [picture, hint] :
       {std::pair{c.Image2, "Connected"}, std::pair{c.Image3, "Not Connected"}}) {
    char text[80] = {};
    TTTOOLINFOA tool{};
    tool.cbSize = sizeof tool;
    tool.hwnd = window->hwnd();
    tool.uId = reinterpret_cast<UINT_PTR>(picture);
    tool.lpszText = text;
    SendMessageA(c.hints, TTM_GETTEXTA, sizeof text, reinterpret_cast<LPARAM>(&tool));
    EXPECT_STREQ(text, hint);
  }
}

TEST_F(MainWindowTest, TheBandNarrowsAndTheScrollBarsComeAsTheWindowShrinks) {
  const MainControls& c = Create().Controls();
  HWND hwnd = window->hwnd();
  ShowWindow(hwnd, SW_SHOWNORMAL);
  auto band_width = [&] {
    RECT r;
    GetWindowRect(c.Panel2, &r);
    return r.right - r.left;
  };
  auto scroll_bar = [&](LONG style) { return (GetWindowLongA(c.ScrollBox1, GWL_STYLE) & style) != 0; };
  SetWindowPos(hwnd, nullptr, 0, 0, 600, 500, SWP_NOMOVE | SWP_NOZORDER);
  EXPECT_EQ(band_width(), c.Scale(30));
  EXPECT_FALSE(scroll_bar(WS_HSCROLL));
  EXPECT_FALSE(scroll_bar(WS_VSCROLL));
  SetWindowPos(hwnd, nullptr, 0, 0, 300, 200, SWP_NOMOVE | SWP_NOZORDER);
  EXPECT_EQ(band_width(), 0);
  EXPECT_TRUE(scroll_bar(WS_HSCROLL));
  EXPECT_TRUE(scroll_bar(WS_VSCROLL));
}

TEST_F(MainWindowTest, TheStatusPanelShowsTheLongestKeepAliveTextWhole) {
  const MainControls& c = Create().Controls();
  ShowWindow(window->hwnd(), SW_SHOWNORMAL);
  const char* text = "Web site retrieval for keep alive done.";
  SendMessageA(c.StatusBar1, SB_SETTEXTA, 0, reinterpret_cast<LPARAM>(text));
  RECT panel{};
  SendMessageA(c.StatusBar1, SB_GETRECT, 0, reinterpret_cast<LPARAM>(&panel));
  HDC dc = GetDC(c.StatusBar1);
  HGDIOBJ old =
      SelectObject(dc, reinterpret_cast<HFONT>(SendMessageA(c.StatusBar1, WM_GETFONT, 0, 0)));
  SIZE extent{};
  GetTextExtentPoint32A(dc, text, static_cast<int>(strlen(text)), &extent);
  SelectObject(dc, old);
  ReleaseDC(c.StatusBar1, dc);
  EXPECT_GT(panel.right - panel.left, extent.cx);
}

// What a DPI change must scale, read from the window as it is.
struct DpiLook {
  LONG form_font, value_font;  // font heights
  int label_width, combo_width, group_right;
  int picture_width, glyph_size, button_height;
};

DpiLook LookOf(const MainControls& c) {
  auto font_height = [](HWND control) {
    LOGFONTA face{};
    GetObjectA(reinterpret_cast<HFONT>(SendMessageA(control, WM_GETFONT, 0, 0)), sizeof face,
               &face);
    return face.lfHeight;
  };
  auto width = [](HWND control) {
    RECT r;
    GetWindowRect(control, &r);
    return static_cast<int>(r.right - r.left);
  };
  BITMAP picture{};
  GetObjectA(reinterpret_cast<HBITMAP>(SendMessageA(c.Image3, STM_GETIMAGE, IMAGE_BITMAP, 0)),
             sizeof picture, &picture);
  int glyph = 0, unused = 0;
  ImageList_GetIconSize(
      reinterpret_cast<HIMAGELIST>(SendMessageA(c.toolbar, TB_GETIMAGELIST, 0, 0)), &glyph,
      &unused);
  RECT button{};
  SendMessageA(c.toolbar, TB_GETITEMRECT, 0, reinterpret_cast<LPARAM>(&button));
  return {font_height(c.cbConnections), font_height(c.Label10), width(c.Label4),
          width(c.cbConnections), static_cast<int>(c.GroupBox2.right), picture.bmWidth, glyph,
          static_cast<int>(button.bottom - button.top)};
}

TEST_F(MainWindowTest, AMoveToAScreenOfAnotherDpiScalesChildrenFontsAndPictures) {
  const MainControls& c = Create().Controls();
  HWND hwnd = window->hwnd();
  ShowWindow(hwnd, SW_SHOWNORMAL);
  SetWindowTextA(c.Label10, "10.0.0.7");
  SendMessageA(c.cbConnections, CB_ADDSTRING, 0, reinterpret_cast<LPARAM>("Office"));
  SendMessageA(c.cbConnections, CB_SETCURSEL, 0, 0);
  const int first_dpi = c.dpi;
  const DpiLook first = LookOf(c);
  struct Step {
    int dpi;
    RECT suggested;
    int picture_width, glyph_size;
  } steps[] = {
      {192, {40, 30, 40 + 876, 30 + 730}, 36, 48},
      {144, {50, 60, 50 + 657, 60 + 547}, 36, 48},
      {first_dpi, {20, 10, 20 + 438, 10 + 365}, first_dpi >= 144 ? 36 : 24,
       first_dpi >= 144 ? 48 : 32},
  };
  int previous_button_height = first.button_height;
  for (const Step& s : steps) {
    SCOPED_TRACE(s.dpi);
    SendMessageA(hwnd, WM_DPICHANGED, MAKEWPARAM(s.dpi, s.dpi),
                 reinterpret_cast<LPARAM>(&s.suggested));
    RECT r;
    GetWindowRect(hwnd, &r);
    EXPECT_EQ(r.left, s.suggested.left);
    EXPECT_EQ(r.top, s.suggested.top);
    EXPECT_EQ(r.right, s.suggested.right);
    EXPECT_EQ(r.bottom, s.suggested.bottom);
    const DpiLook look = LookOf(c);
    EXPECT_EQ(look.form_font, -MulDiv(11, s.dpi, 96));
    EXPECT_EQ(look.value_font, -MulDiv(11, s.dpi, 96));
    EXPECT_EQ(look.label_width, MulDiv(120, s.dpi, 96));
    EXPECT_EQ(look.combo_width, MulDiv(257, s.dpi, 96));
    EXPECT_EQ(look.group_right, MulDiv(8 + 383, s.dpi, 96));
    EXPECT_EQ(look.picture_width, s.picture_width);
    EXPECT_EQ(look.glyph_size, s.glyph_size);
    if (s.dpi > first_dpi) {
      EXPECT_GT(look.button_height, first.button_height);
    }
    if (s.dpi < steps[0].dpi) {
      EXPECT_LT(look.button_height, previous_button_height);
    }
    previous_button_height = look.button_height;
  }
  // Back where it started, and nothing the user saw was lost on the way.
  const DpiLook last = LookOf(c);
  EXPECT_EQ(last.form_font, first.form_font);
  EXPECT_EQ(last.button_height, first.button_height);
  char text[32] = {};
  GetWindowTextA(c.Label10, text, sizeof text);
  EXPECT_STREQ(text, "10.0.0.7");
  EXPECT_EQ(SendMessageA(c.cbConnections, CB_GETCURSEL, 0, 0), 0);
}

TEST_F(MainWindowTest, TheAutoStartItemWritesAndDeletesTheRunValue) {
  HWND hwnd = Create().hwnd();
  EXPECT_EQ(GetMenuState(window->MainMenu1(), kCmdAutoStart, MF_BYCOMMAND) & MF_CHECKED,
            static_cast<UINT>(MF_CHECKED));
  // Unchecking when there is no Run value is no error.
  SendMessageA(hwnd, WM_COMMAND, kCmdAutoStart, 0);
  EXPECT_TRUE(boxes.boxes.empty());
  EXPECT_EQ(GetMenuState(window->MainMenu1(), kCmdAutoStart, MF_BYCOMMAND) & MF_CHECKED, 0u);
  EXPECT_FALSE(app.settings.AutoStart);
  EXPECT_EQ(registry.Get(kProductKey, "AutoStart"), RegDword(0));

  SendMessageA(hwnd, WM_COMMAND, kCmdAutoStart, 0);
  EXPECT_EQ(registry.Get(kRunKeyPath, "Tarnwick"),
            RegText("\"C:\\Program Files\\Tarnwick\\tarnwick.exe\" startup"));
  EXPECT_EQ(registry.Get(kProductKey, "AutoStart"), RegDword(1));

  SendMessageA(hwnd, WM_COMMAND, kCmdAutoStart, 0);
  EXPECT_FALSE(registry.Get(kRunKeyPath, "Tarnwick"));
}

TEST_F(MainWindowTest, ARefusedRunValueIsReportedAndNothingIsSaved) {
  app.settings.AutoStart = false;
  HWND hwnd = Create().hwnd();
  registry.DenyKey(kRunKeyPath);
  registry.log.clear();
  SendMessageA(hwnd, WM_COMMAND, kCmdAutoStart, 0);
  ASSERT_EQ(boxes.boxes.size(), 1u);
  EXPECT_EQ(boxes.boxes[0].icon, BoxIcon::Error);
  EXPECT_FALSE(Wrote());
}

TEST_F(MainWindowTest, AMissingHelpFileIsReportedAtTheWindowsCorner) {
  app.flags.ProgramDir = "C:\\nowhere\\";
  HWND hwnd = Create().hwnd();
  ShowWindow(hwnd, SW_SHOWNORMAL);
  SetWindowPos(hwnd, nullptr, 33, 44, 0, 0, SWP_NOSIZE | SWP_NOZORDER);
  SendMessageA(hwnd, WM_COMMAND, kCmdContents, 0);
  ASSERT_EQ(boxes.boxes.size(), 1u);
  EXPECT_EQ(boxes.boxes[0].text, "Unable to find help file: C:\\nowhere\\tarnwick.html");
  EXPECT_EQ(boxes.boxes[0].icon, BoxIcon::Warning);
  EXPECT_EQ(boxes.boxes[0].position, (ScreenPoint{33, 44}));
}

}  // namespace
}  // namespace tarnwick

namespace tarnwick {
namespace {

// What the main window hands the shell for the engines' events: balloons of
// its own icon, as the settings allow, and each call returns at once.
TEST_F(MainWindowTest, EngineEventsReachTheShellAsNoticesOfTheIcon) {
  app.settings.loggingenabled = false;
  HWND hwnd = Create().hwnd();
  ASSERT_NE(app.activity, nullptr);
  std::vector<std::string> notices;
  window->Tray().SetShellNotify([&](DWORD message, NOTIFYICONDATAA* data) {
    if (message == NIM_MODIFY && (data->uFlags & NIF_INFO)) {
      EXPECT_EQ(data->hWnd, hwnd);
      EXPECT_EQ(data->uID, kTrayIconId);
      EXPECT_EQ(data->cbSize, NOTIFYICONDATAA_V2_SIZE);
      EXPECT_EQ(data->uFlags, static_cast<UINT>(NIF_INFO));  // the icon and tip stay
      notices.push_back(std::string(data->szInfoTitle) + " | " + data->szInfo);
    }
    return Shell_NotifyIconA(message, data);  // the real shell must take it too
  });
  ActivitySink& events = *app.activity;
  events.Record(Activity::kDropped, "entry \"Home\", redialing");
  events.Record(Activity::kRedialAttempt, "attempt 1: no answer");
  events.Record(Activity::kRedialSucceeded, "attempt 2");
  events.Record(Activity::kConnected, "entry \"Home\", address 10.0.0.9");
  events.Record(Activity::kStepFailed, std::string(300, 'x'));  // cut to the shell's 255
  app.settings.noticedrop = false;
  events.Record(Activity::kDropped, "not shown");
  app.settings.noticedrop = true;
  app.settings.notices = false;
  events.Record(Activity::kDropped, "not shown either");
  EXPECT_THAT(notices, ElementsAre("Connection dropped | entry \"Home\", redialing",
                                   "Redial succeeded | entry \"Home\", address 10.0.0.9",
                                   "Notification step failed | " + std::string(255, 'x')));
  EXPECT_TRUE(boxes.boxes.empty());  // a notice is never a box
}

}  // namespace
}  // namespace tarnwick
