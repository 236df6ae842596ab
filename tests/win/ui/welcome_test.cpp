// The welcome wizard as a new user meets it, against the simulated RAS
// service: the real wizard driven from inside its loop, message boxes
// recorded, each page's settings read back from the registry; and the main
// window that shows it at its first showing and starts the engines after it.
#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include "app/message_loop_win32.h"
#include "ui/main_window_win32.h"
#include "ui/monitor_dialog_ids.h"
#include "ui/welcome_win32.h"
#include "win/ras/rassim_fixture.h"
#include "win/ui/dialog_rig.h"

namespace tarnwick {
namespace {

using testing::ClickControl;
using testing::Control;
using testing::ControlText;
using ::testing::ElementsAre;
using testing::Enabled;
using testing::ModalDriver;
using testing::SetControlText;
using testing::Showing;
using testing::Ticked;

constexpr const char* kPhonebook = "entry Home DSL\nentry Office ISDN\nentry Dial-up Backup\n";

std::vector<std::string> Entries(HWND wizard) {
  HWND list = Control(wizard, kWzCbConnections);
  std::vector<std::string> entries;
  const auto count = SendMessageA(list, CB_GETCOUNT, 0, 0);
  for (LRESULT i = 0; i < count; ++i) {
    char text[256] = {};
    SendMessageA(list, CB_GETLBTEXT, i, reinterpret_cast<LPARAM>(text));
    entries.emplace_back(text);
  }
  return entries;
}

class WelcomeTest : public testing::RassimTest, protected testing::DialogRig {
 protected:
  void SetUp() override {
    RassimTest::SetUp();
    WriteControl(kPhonebook);
  }

  // Shows the wizard and runs `steps` in it; `wizard` is the shown one.
  INT_PTR Run(std::vector<ModalDriver::Step> steps) {
    TfrmWelcome shown(app);
    wizard = &shown;
    const INT_PTR result = ShowDriven(shown, kWelcomeClass, std::move(steps));
    wizard = nullptr;
    return result;
  }

  TfrmWelcome* wizard = nullptr;
};

TEST_F(WelcomeTest, OpensCentredOnTheScreenOnItsFirstPage) {
  RECT r{};
  std::string version;
  bool previous_enabled = true;
  WelcomePage page = kPageFinish;
  Run({[&](HWND w) {
    GetWindowRect(w, &r);
    version = ControlText(w, kWzVersion);
    previous_enabled = Enabled(w, kWzIntroPrevious);
    page = wizard->Page();
    PostMessageA(w, WM_CLOSE, 0, 0);
  }});
  EXPECT_NEAR((r.left + r.right) / 2.0, testing::ScreenWidth() / 2.0, 1.0);
  EXPECT_NEAR((r.top + r.bottom) / 2.0, testing::ScreenHeight() / 2.0, 1.0);
  EXPECT_EQ(version, kVersionText);
  EXPECT_FALSE(previous_enabled);
  EXPECT_EQ(page, kPageIntro);
  EXPECT_FALSE(Wrote());
}

TEST_F(WelcomeTest, NextPreviousAndNextAgainListEveryEntryOnce) {
  std::vector<std::string> entries;
  std::string chosen;
  WelcomePage page = kPageIntro;
  Run({[](HWND w) { ClickControl(w, kWzBtnNext); },
       [](HWND w) { ClickControl(w, kWzDialUpPrevious); },
       [](HWND w) { ClickControl(w, kWzBtnNext); },
       [&](HWND w) {
         entries = Entries(w);
         chosen = ControlText(w, kWzCbConnections);
         page = wizard->Page();
         PostMessageA(w, WM_CLOSE, 0, 0);
       }});
  EXPECT_THAT(entries, ElementsAre("Home DSL", "Office ISDN", "Dial-up Backup"));
  EXPECT_EQ(chosen, "Home DSL");
  EXPECT_EQ(page, kPageDialUp);
  EXPECT_TRUE(boxes.boxes.empty());
}

TEST_F(WelcomeTest, AnEmptyPhonebookIsReportedAndTheWizardGoesOn) {
  WriteControl("");
  app.settings.conname = "Gone";
  WelcomePage page = kPageIntro;
  Run({[](HWND w) { ClickControl(w, kWzBtnNext); },
       [&](HWND w) {
         ClickControl(w, kWzDialUpNext);
         page = wizard->Page();
         PostMessageA(w, WM_CLOSE, 0, 0);
       }});
  EXPECT_THAT(boxes.texts(),
              ElementsAre("Warning: Unable to find any RAS connections.  A dial-up or "
                          "PPOE connection is required for Tarnwick."));
  EXPECT_EQ(page, kPageEmail);
  EXPECT_EQ(Stored().conname, "Gone");  // nothing to choose: the watched entry stays
}

TEST_F(WelcomeTest, ADelayOrRetryLimitOutOfRangeIsRefusedAndReset) {
  struct Case {
    int field;
    const char* typed;
    const char* message;
    const char* shown_after;
  };
  const Case cases[] = {
      {kWzTeDelay, "600", "Invalid connection delay value.", "90"},  // the spin offers 600
      {kWzTeMaxRetries, "1001", "Invalid maximum retries value.", "20"},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.typed);
    boxes.boxes.clear();
    registry.log.clear();
    std::string shown;
    WelcomePage page = kPageIntro;
    Run({[](HWND w) { ClickControl(w, kWzBtnNext); },
         [&](HWND w) {
           ClickControl(w, kWzChkReconnect);
           SetControlText(w, c.field, c.typed);
           ClickControl(w, kWzDialUpNext);
           shown = ControlText(w, c.field);
           page = wizard->Page();
           PostMessageA(w, WM_CLOSE, 0, 0);
         }});
    EXPECT_THAT(boxes.texts(), ElementsAre(c.message));
    EXPECT_EQ(shown, c.shown_after);
    EXPECT_EQ(page, kPageDialUp);
    EXPECT_FALSE(Wrote());
  }
}

TEST_F(WelcomeTest, LeavingTheDialUpPageStoresItsFieldsAndTheChosenConnection) {
  struct Case {
    const char* what;
    std::function<void(HWND)> fill;
    bool reconnect;
    int32_t redelay, maxretries;
    const char* user;
  };
  const Case cases[] = {
      {"box left cleared: the disabled delay and retries still count", [](HWND) {}, false, 30, 20,
       ""},
      {"box ticked with a login",
       [](HWND w) {
         ClickControl(w, kWzChkReconnect);
         SetControlText(w, kWzTeDelay, "300");
         SetControlText(w, kWzTeMaxRetries, "-1");
         SetControlText(w, kWzTeUserName, "ann");
         SetControlText(w, kWzTePassword, "pw");
       },
       true, 300, -1, "ann"},
  };
  const int follow_the_box[] = {kWzTeDelay, kWzUpDown2,    kWzTeMaxRetries,
                                kWzUpDown3, kWzTeUserName, kWzTePassword};
  for (const Case& c : cases) {
    SCOPED_TRACE(c.what);
    SetDefaultSettings(app.settings);
    std::vector<bool> enabled_at_start;
    WelcomePage page = kPageIntro;
    Run({[](HWND w) { ClickControl(w, kWzBtnNext); },
         [&](HWND w) {
           for (int id : follow_the_box) enabled_at_start.push_back(Enabled(w, id));
           SendMessageA(Control(w, kWzCbConnections), CB_SETCURSEL, 1, 0);
           c.fill(w);
           ClickControl(w, kWzDialUpNext);
           page = wizard->Page();
           PostMessageA(w, WM_CLOSE, 0, 0);
         }});
    EXPECT_EQ(enabled_at_start, std::vector<bool>(std::size(follow_the_box), false));
    EXPECT_EQ(page, kPageEmail);
    EXPECT_TRUE(boxes.boxes.empty());
    const Settings stored = Stored();
    EXPECT_EQ(stored.Reconnect, c.reconnect);
    EXPECT_EQ(stored.redelay, c.redelay);
    EXPECT_EQ(stored.maxretries, c.maxretries);
    EXPECT_EQ(stored.connuser, c.user);
    EXPECT_EQ(stored.conname, "Office ISDN");
  }
}

TEST_F(WelcomeTest, TheMailPageStoresTheMethodAndFinishCloses) {
  struct Case {
    const char* what;
    bool pick_smtp;
    bool usesmtp;
    const char* server;
  };
  const Case cases[] = {
      {"MAPI, as it starts, with a name typed on the way", false, false, ""},
      {"SMTP with a server", true, true, "mail.example.com"},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.what);
    SetDefaultSettings(app.settings);
    bool mapi_at_start = false, host_shown_at_start = true;
    std::string port_at_start;
    const INT_PTR result = Run({[](HWND w) { ClickControl(w, kWzBtnNext); },
                                [](HWND w) { ClickControl(w, kWzDialUpNext); },
                                [&](HWND w) {
                                  mapi_at_start = Ticked(w, kWzRbMAPI) && !Ticked(w, kWzRbSMTP);
                                  host_shown_at_start = Showing(w, kWzTeHost);
                                  ClickControl(w, kWzRbSMTP);
                                  SetControlText(w, kWzTeHost, "mail.example.com");
                                  port_at_start = ControlText(w, kWzTeSmtpPort);
                                  SetControlText(w, kWzTeSmtpPort, "465");
                                  ClickControl(w, kWzRbTls);
                                  SetControlText(w, kWzTeSmtpUser, "joe");
                                  SetControlText(w, kWzTeSmtpPass, "s3cret");
                                  if (!c.pick_smtp) ClickControl(w, kWzRbMAPI);
                                  ClickControl(w, kWzEmailNext);
                                },
                                [](HWND w) { ClickControl(w, kWzBtnFinish); }});
    EXPECT_EQ(result, IDOK);
    EXPECT_TRUE(mapi_at_start);
    EXPECT_FALSE(host_shown_at_start);
    EXPECT_EQ(Stored().usesmtp, c.usesmtp);
    EXPECT_EQ(Stored().SMTPServer, c.server);
    EXPECT_EQ(port_at_start, "25");
    // MAPI keeps the stored submission values; SMTP takes what was typed.
    EXPECT_EQ(Stored().SMTPPort, c.pick_smtp ? 465 : 25);
    EXPECT_EQ(Stored().SMTPSecurity, c.pick_smtp ? 2 : 0);
    EXPECT_EQ(Stored().SMTPUser, c.pick_smtp ? "joe" : "");
  }
}

// --- The main window's first showing -----------------------------------------

class FirstShowingTest : public WelcomeTest {
 protected:
  void TearDown() override {
    window.reset();
    ResetMessageLoopState();
    WelcomeTest::TearDown();
  }
  std::unique_ptr<TMain> window;
};

TEST_F(FirstShowingTest, TheEnginesStartOnlyOnceTheWizardHasClosedHoweverItClosed) {
  struct Case {
    const char* what;
    ModalDriver::Step close;
  };
  const Case cases[] = {
      {"Finish",
       [](HWND w) {
         ClickControl(w, kWzEmailNext);
         ClickControl(w, kWzBtnFinish);
       }},
      {"the close box", [](HWND w) { PostMessageA(w, WM_CLOSE, 0, 0); }},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.what);
    SetDefaultSettings(app.settings);
    app.settings.kaMethod = 1;
    app.settings.schedenabled = true;
    app.settings.weekdays = {2};  // Monday
    app.flags.FirstStart = true;
    window = std::make_unique<TMain>(app);
    ASSERT_TRUE(window->Create());
    MainWatch& watch = window->Watch();
    bool timers_during = true, main_visible_during = true;
    {
      ModalDriver driver(kWelcomeClass,
                         {[&](HWND w) {
                            timers_during = watch.tmIPCheck().Enabled() ||
                                            watch.tmKeepAlive().Enabled() ||
                                            watch.tmScheduler().Enabled();
                            main_visible_during = IsWindowVisible(window->hwnd()) != FALSE;
                            ClickControl(w, kWzBtnNext);
                          },
                          [](HWND w) {
                            SendMessageA(Control(w, kWzCbConnections), CB_SETCURSEL, 1, 0);
                            ClickControl(w, kWzDialUpNext);
                          },
                          c.close});
      window->ShowAtStart();
      EXPECT_TRUE(driver.done());
    }
    EXPECT_FALSE(timers_during);
    EXPECT_FALSE(main_visible_during);
    EXPECT_TRUE(IsWindowVisible(window->hwnd()));
    EXPECT_TRUE(watch.tmIPCheck().Enabled());
    EXPECT_TRUE(watch.tmKeepAlive().Enabled());
    EXPECT_TRUE(watch.tmScheduler().Enabled());
    EXPECT_EQ(WindowText(window->Controls().cbConnections), "Office ISDN");
    EXPECT_FALSE(app.flags.FirstStart);

    // Shown again: no wizard.
    ModalDriver none(kWelcomeClass, {});
    ShowWindow(window->hwnd(), SW_HIDE);
    ShowWindow(window->hwnd(), SW_SHOWNORMAL);
    testing::PumpMessages();
    EXPECT_FALSE(none.left_open());
    window.reset();
  }
}

}  // namespace
}  // namespace tarnwick
