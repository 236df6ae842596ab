// The option dialogs as a user meets them: each real dialog shown modally and
// driven from inside its loop with clicks, typed text and keys; message boxes
// recorded; what was stored read back from the registry.
#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <functional>
#include <memory>

#include "ui/activity_log_options_win32.h"
#include "ui/email_options_win32.h"
#include "ui/keepalive_options_win32.h"
#include "ui/method_editor_win32.h"
#include "ui/monitor_dialog_ids.h"
#include "ui/monitor_options_win32.h"
#include "ui/option_dialog_ids.h"
#include "ui/reconnect_options_win32.h"
#include "ui/schedule_options_win32.h"
#include "win/ui/dialog_rig.h"

namespace tarnwick {
namespace {

using testing::ClickControl;
using testing::ControlText;
using ::testing::ElementsAre;
using testing::Enabled;
using testing::ModalDriver;
using testing::PickTab;
using testing::PostKey;
using testing::SetControlText;
using testing::Showing;
using testing::Ticked;

int SelectedTab(HWND dialog) {
  return static_cast<int>(
      SendMessageA(FindWindowExA(dialog, nullptr, WC_TABCONTROLA, nullptr), TCM_GETCURSEL, 0, 0));
}

// What the IP monitor dialog and the method editor need besides the settings.
struct MonitorParts {
  explicit MonitorParts(Application& app) : tests(app, [] { return std::string(); }) {}
  StepTests tests;
  std::vector<Notif> working;
};

class OptionDialogTest : public ::testing::Test, protected testing::DialogRig {
 protected:
  // Shows `dialog` over the stand-in main window and runs `steps` on it.
  INT_PTR Run(OptionDialog& dialog, const char* window_class,
              std::vector<ModalDriver::Step> steps) {
    return ShowDriven(dialog, window_class, std::move(steps));
  }

  WatchState watch;
  MonitorParts monitor{app};
};

// --- Reconnect Options -------------------------------------------------------

TEST_F(OptionDialogTest, ReconnectRefusesABadFieldKeepsWhatCameBeforeAndStaysOpen) {
  struct Case {
    const char* what;
    int field;
    const char* typed;
    const char* message;
    const char* shown_after;
    int page_after;
    int32_t redelay, maxretries;  // in memory afterwards
    bool reconnect;
  };
  const Case cases[] = {
      {"delay 600, which the spin offers", kRecTeDelay, "600", kInvalidDelayMessage, "90", 0, 90,
       20, false},
      {"delay in letters", kRecTeDelay, "ninety", kInvalidDelayMessage, "90", 0, 90, 20, false},
      {"retries -2", kRecTeMaxRetries, "-2", kInvalidRetriesMessage, "20", 0, 45, 20, false},
      {"retries 1001", kRecTeMaxRetries, "1001", kInvalidRetriesMessage, "20", 0, 45, 20, false},
      {"start delay in letters", kRecTeDialDelay, "soon", kInvalidDialDelayMessage, "soon", 2, 45,
       7, true},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.what);
    SetDefaultSettings(app.settings);
    boxes.boxes.clear();
    registry.log.clear();
    std::string shown;
    int page = -1;
    TfrmKXReconnect dialog(app, watch, nullptr, true);
    Run(dialog, kReconnectOptionsClass,
        {[&](HWND d) {
           ClickControl(d, kRecChkReconnect);
           SetControlText(d, kRecTeDelay, "45");
           SetControlText(d, kRecTeMaxRetries, "7");
           SetControlText(d, c.field, c.typed);
           PickTab(d, 1);
           ClickControl(d, IDOK);
           shown = ControlText(d, c.field);
           page = SelectedTab(d);
         },
         [](HWND d) { ClickControl(d, IDCANCEL); }});
    ASSERT_THAT(boxes.texts(), ElementsAre(c.message));
    EXPECT_FALSE(boxes.boxes[0].position.has_value());
    EXPECT_EQ(shown, c.shown_after);
    EXPECT_EQ(page, c.page_after);  // the refused field's page comes to the front
    EXPECT_EQ(app.settings.redelay, c.redelay);
    EXPECT_EQ(app.settings.maxretries, c.maxretries);
    EXPECT_EQ(app.settings.Reconnect, c.reconnect);
    EXPECT_FALSE(Wrote());
  }
}

TEST_F(OptionDialogTest, ReconnectOkSavesTheWholeTreeAndEndsTheHoldOff) {
  struct Case {
    const char* start_delay;  // any whole number passes
    int32_t stored;
  };
  for (const Case& c : {Case{"0", 0}, Case{"900", 900}}) {
    SCOPED_TRACE(c.start_delay);
    SetDefaultSettings(app.settings);
    registry.log.clear();
    watch.reconnect_holdoff = kReconnectHoldoffTicks;
    TfrmKXReconnect dialog(app, watch, nullptr, /*windows2000_or_later=*/false);
    const INT_PTR result = Run(dialog, kReconnectOptionsClass, {[&](HWND d) {
                                 ClickControl(d, kRecChkReconnect);
                                 SetControlText(d, kRecTeDelay, "300");
                                 SetControlText(d, kRecTeMaxRetries, "-1");
                                 SetControlText(d, kRecTeUserName, "ann");
                                 SetControlText(d, kRecTePassword, "pw");
                                 ClickControl(d, kRecChkDialDelay);
                                 SetControlText(d, kRecTeDialDelay, c.start_delay);
                                 PostKey(VK_RETURN);  // Enter presses the default button, OK
                               }});
    EXPECT_EQ(result, IDOK);
    EXPECT_TRUE(boxes.boxes.empty());
    const Settings stored = Stored();
    EXPECT_EQ(stored, app.settings);
    EXPECT_TRUE(stored.Reconnect);
    EXPECT_EQ(stored.redelay, 300);
    EXPECT_EQ(stored.maxretries, -1);
    EXPECT_EQ(stored.connuser, "ann");
    EXPECT_EQ(stored.connpass, "pw");
    EXPECT_TRUE(stored.usestartdelay);
    EXPECT_EQ(stored.startdelay, c.stored);
    EXPECT_EQ(watch.reconnect_holdoff, 0);
  }
}

TEST_F(OptionDialogTest, ReconnectFieldsFollowTheirBoxesAndTheSystem) {
  app.settings.Reconnect = true;
  app.settings.connuser = "ann";
  app.settings.connpass = "pw";
  for (const bool windows2000 : {true, false}) {
    SCOPED_TRACE(windows2000 ? "Windows 2000 and later" : "before Windows 2000");
    const int delay_fields[] = {kRecTeDelay, kRecUpDown2, kRecTeMaxRetries, kRecUpDown3};
    bool credentials_enabled = !windows2000, note_shown = !windows2000;
    std::string password_char;
    std::vector<bool> with_box, without_box, dial_delay;
    TfrmKXReconnect dialog(app, watch, nullptr, windows2000);
    Run(dialog, kReconnectOptionsClass,
        {[&](HWND d) {
           for (int id : delay_fields) with_box.push_back(Enabled(d, id));
           ClickControl(d, kRecChkReconnect);
           for (int id : delay_fields) without_box.push_back(Enabled(d, id));
           dial_delay = {Enabled(d, kRecTeDialDelay), Enabled(d, kRecUpDown1)};
           ClickControl(d, kRecChkDialDelay);
           dial_delay.push_back(Enabled(d, kRecTeDialDelay));
           dial_delay.push_back(Enabled(d, kRecUpDown1));
           PickTab(d, 1);
           credentials_enabled = Enabled(d, kRecTeUserName) && Enabled(d, kRecTePassword);
           note_shown = Showing(d, kRecLblWin2000);
           password_char =
               std::string(1, static_cast<char>(SendMessageA(testing::Control(d, kRecTePassword),
                                                             EM_GETPASSWORDCHAR, 0, 0)));
         },
         [](HWND d) { ClickControl(d, IDCANCEL); }});
    EXPECT_THAT(with_box, ElementsAre(true, true, true, true));
    EXPECT_THAT(without_box, ElementsAre(false, false, false, false));
    EXPECT_THAT(dial_delay, ElementsAre(false, false, true, true));
    EXPECT_EQ(credentials_enabled, !windows2000);
    EXPECT_EQ(note_shown, windows2000);
    EXPECT_EQ(password_char, "*");
  }
}

TEST_F(OptionDialogTest, ReconnectTakesTheCredentialsFromThePhonebookOnlyWithoutAStoredUser) {
  int asked = 0;
  const auto phonebook = [&] {
    ++asked;
    return EntryCredentials{"book-user", "book-pw"};
  };
  for (const char* stored_user : {"", "ann"}) {
    SCOPED_TRACE(stored_user);
    asked = 0;
    app.settings.connuser = stored_user;
    app.settings.connpass = "pw";
    std::string user, password;
    TfrmKXReconnect dialog(app, watch, phonebook, true);
    Run(dialog, kReconnectOptionsClass, {[&](HWND d) {
          user = ControlText(d, kRecTeUserName);
          password = ControlText(d, kRecTePassword);
          ClickControl(d, IDOK);  // disabled fields are stored all the same
        }});
    const bool from_book = *stored_user == '\0';
    EXPECT_EQ(asked, from_book ? 1 : 0);
    EXPECT_EQ(user, from_book ? "book-user" : "ann");
    EXPECT_EQ(password, from_book ? "book-pw" : "pw");
    EXPECT_EQ(Stored().connuser, user);
    EXPECT_EQ(Stored().connpass, password);
  }
}

// --- Keep-Alive Options ------------------------------------------------------

TEST_F(OptionDialogTest, KeepAliveWarnsAtItsCornerAndClosesKeepingWhatCameBefore) {
  struct Case {
    const char* what;
    int method;
    int field;
    const char* typed;
    const char* message;
    uint8_t kaMethod;  // in memory afterwards
    const char* kaPingHost;
  };
  const Case cases[] = {
      {"ping with no host", kKaRbPing, kKaTePHost, "", kNoPingHostMessage, 0, ""},
      {"web with no URL", kKaRbWeb, kKaTeWebURL, "", kNoUrlMessage, 0, ""},
      {"web, letters as ping interval", kKaRbWeb, kKaTePInterval, "five",
       kInvalidPingIntervalMessage, 2, "host.example"},
      {"web, letters as web interval", kKaRbWeb, kKaTeWebInterval, "5m", kInvalidWebIntervalMessage,
       2, "host.example"},
      {"empty proxy port", kKaRbPing, kKaTeProxyPort, "", kInvalidProxyPortMessage, 1,
       "host.example"},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.what);
    SetDefaultSettings(app.settings);
    boxes.boxes.clear();
    registry.log.clear();
    RECT corner{};
    TfrmKXKeepAlive dialog(app);
    const INT_PTR result = Run(dialog, kKeepAliveOptionsClass, {[&](HWND d) {
                                 GetWindowRect(d, &corner);
                                 ClickControl(d, c.method);
                                 SetControlText(d, kKaTePHost, "host.example");
                                 SetControlText(d, kKaTeWebURL, "http://www.example.com/");
                                 SetControlText(d, c.field, c.typed);
                                 ClickControl(d, IDOK);
                               }});
    EXPECT_EQ(result, IDCANCEL);
    ASSERT_THAT(boxes.texts(), ElementsAre(c.message));
    EXPECT_EQ(boxes.boxes[0].position, (ScreenPoint{corner.left, corner.top}));
    EXPECT_EQ(app.settings.kaMethod, c.kaMethod);
    EXPECT_EQ(app.settings.kaPingHost, c.kaPingHost);
    EXPECT_FALSE(Wrote());
  }
}

TEST_F(OptionDialogTest, KeepAliveOpensClampedAndSavesTheWholeTree) {
  app.settings.kaMethod = kKeepAliveWeb;
  app.settings.kaPingInterval = 0;
  app.settings.kaWebInterval = 90;
  std::vector<std::string> shown;
  TfrmKXKeepAlive dialog(app);
  Run(dialog, kKeepAliveOptionsClass, {[&](HWND d) {
        shown = {ControlText(d, kKaTePInterval), ControlText(d, kKaTeWebInterval),
                 ControlText(d, kKaTeProxyPort)};
        ClickControl(d, kKaRbNone);  // no host and no URL: nothing to refuse
        PickTab(d, 1);
        SetControlText(d, kKaTeProxyServer, "proxy.example");
        SetControlText(d, kKaTeProxyPort, "3128");
        SetControlText(d, kKaTeProxyUser, "ann");
        SetControlText(d, kKaTeProxyPassword, "pw");
        ClickControl(d, IDOK);
      }});
  EXPECT_THAT(shown, ElementsAre("1", "60", "8080"));
  EXPECT_TRUE(boxes.boxes.empty());
  const Settings stored = Stored();
  EXPECT_EQ(stored.kaMethod, 0);
  EXPECT_EQ(stored.kaPingInterval, 1);
  EXPECT_EQ(registry.Get(kProductKey, "kaWebInterval"), RegDword(60));
  EXPECT_EQ(stored.proxyname, "proxy.example");
  EXPECT_EQ(stored.proxyport, 3128);
  EXPECT_EQ(stored.proxypass, "pw");
  // Every value (the page interval as written, whether or not a load reads it back).
  Settings expected = app.settings;
  expected.kaWebInterval = stored.kaWebInterval;
  EXPECT_EQ(stored, expected);
}

TEST_F(OptionDialogTest, KeepAliveFieldsFollowTheMethodAndTheSpinsStayInRange) {
  struct Case {
    int radio;
    bool ping, web;
  };
  const Case cases[] = {
      {kKaRbNone, false, false}, {kKaRbPing, true, false}, {kKaRbWeb, false, true}};
  app.settings.kaPingInterval = 60;
  std::vector<std::string> arrows;
  std::vector<Case> seen;
  TfrmKXKeepAlive dialog(app);
  Run(dialog, kKeepAliveOptionsClass,
      {[&](HWND d) {
         for (const Case& c : cases) {
           ClickControl(d, c.radio);
           seen.push_back({c.radio, Enabled(d, kKaTePHost) && Enabled(d, kKaTePInterval),
                           Enabled(d, kKaTeWebURL) && Enabled(d, kKaTeWebInterval)});
           EXPECT_TRUE(Enabled(d, kKaUpDown1) && Enabled(d, kKaUpDown2));
         }
         ClickControl(d, kKaRbPing);
         SetFocus(testing::Control(d, kKaTePInterval));
         PostKey(VK_UP);  // the spin reads 60 from its edit: the top, no wrap
       },
       [&](HWND d) {
         arrows.push_back(ControlText(d, kKaTePInterval));
         PostKey(VK_DOWN);
       },
       [&](HWND d) {
         arrows.push_back(ControlText(d, kKaTePInterval));
         ClickControl(d, IDCANCEL);
       }});
  for (size_t i = 0; i < seen.size(); ++i) {
    EXPECT_EQ(seen[i].ping, cases[i].ping) << i;
    EXPECT_EQ(seen[i].web, cases[i].web) << i;
  }
  EXPECT_THAT(arrows, ElementsAre("60", "59"));
}

// --- DialUp Scheduler --------------------------------------------------------

TEST_F(OptionDialogTest, ScheduleRefusesOutOfRangeRetryValuesAndStaysOpen) {
  struct Case {
    int field;
    const char* typed;
    const char* message;  // null: accepted
    const char* shown_after;
  };
  const Case cases[] = {
      {kSchTeDelay, "301", kInvalidDelayMessage, "90"},
      {kSchTeDelay, "600", kInvalidDelayMessage, "90"},
      {kSchTeMaxRetries, "-2", kInvalidRetriesMessage, "20"},
      {kSchTeMaxRetries, "1001", kInvalidRetriesMessage, "20"},
      {kSchTeDelay, "300", nullptr, nullptr},
      {kSchTeMaxRetries, "-1", nullptr, nullptr},
      {kSchTeMaxRetries, "1000", nullptr, nullptr},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.typed);
    SetDefaultSettings(app.settings);
    app.settings.schedenabled = true;
    boxes.boxes.clear();
    registry.log.clear();
    std::string shown;
    std::vector<ModalDriver::Step> steps = {[&](HWND d) {
      ClickControl(d, kSchCbFriday);
      SetControlText(d, c.field, c.typed);
      ClickControl(d, IDOK);
      shown = ControlText(d, c.field);
    }};
    if (c.message) steps.push_back([](HWND d) { ClickControl(d, IDCANCEL); });
    TfrmKXSchedule dialog(app, true);
    const INT_PTR result = Run(dialog, kScheduleOptionsClass, std::move(steps));
    if (c.message) {
      EXPECT_EQ(result, IDCANCEL);
      EXPECT_THAT(boxes.texts(), ElementsAre(c.message));
      EXPECT_EQ(shown, c.shown_after);
      EXPECT_FALSE(Wrote());
    } else {
      EXPECT_EQ(result, IDOK);
      EXPECT_TRUE(boxes.boxes.empty());
      EXPECT_EQ(Stored(), app.settings);
    }
    // Taken before the checks, so in memory either way.
    EXPECT_THAT(app.settings.weekdays, ElementsAre(6));
  }
}

// A spin that wrote "1,000" would have its own top refused.
TEST_F(OptionDialogTest, SpinningToTheTopGivesAValueTheCheckTakes) {
  app.settings.schedenabled = true;
  std::string shown;
  TfrmKXSchedule dialog(app, true);
  Run(dialog, kScheduleOptionsClass,
      {[](HWND d) {
         SetControlText(d, kSchTeMaxRetries, "999");
         SetFocus(testing::Control(d, kSchTeMaxRetries));
         PostKey(VK_UP);
       },
       [&](HWND d) {
         shown = ControlText(d, kSchTeMaxRetries);
         ClickControl(d, IDOK);
       }});
  EXPECT_EQ(shown, "1000");
  EXPECT_TRUE(boxes.boxes.empty());
  EXPECT_EQ(Stored().maxsretries, 1000);
}

TEST_F(OptionDialogTest, ScheduleStoresTickedDaysInWeekOrderWithTheTime) {
  app.settings.schedenabled = true;
  SYSTEMTIME shown{};
  TfrmKXSchedule dialog(app, true);
  Run(dialog, kScheduleOptionsClass, {[&](HWND d) {
        ClickControl(d, kSchCbFriday);
        ClickControl(d, kSchCbMonday);
        SendMessageA(testing::Control(d, kSchDtStartTime), DTM_GETSYSTEMTIME, 0,
                     reinterpret_cast<LPARAM>(&shown));
        SYSTEMTIME at = shown;
        at.wHour = 21;
        at.wMinute = 5;
        at.wSecond = 30;
        SendMessageA(testing::Control(d, kSchDtStartTime), DTM_SETSYSTEMTIME, GDT_VALID,
                     reinterpret_cast<LPARAM>(&at));
        ClickControl(d, IDOK);
      }});
  EXPECT_EQ(shown.wHour * 3600 + shown.wMinute * 60 + shown.wSecond, 8 * 3600);  // the default
  EXPECT_EQ(registry.Get(kProductKey, "scheddays"), RegText("2,6"));
  EXPECT_EQ(registry.Get(kProductKey, "schedwdaynum"), RegDword(2));
  EXPECT_DOUBLE_EQ(Stored().schedtime, (21 * 3600 + 5 * 60 + 30) / 86400.0);
}

TEST_F(OptionDialogTest, ScheduleEnabledTakesEffectAtOnceAndCancelKeepsIt) {
  app.settings.schedenabled = true;
  const int fields[] = {kSchCbSunday, kSchCbSaturday, kSchDtStartTime,
                        kSchTeDelay,  kSchUpDown2,    kSchTeMaxRetries,
                        kSchUpDown3,  kSchTeUserName, kSchTePassword};
  std::vector<bool> enabled_before, enabled_after;
  bool in_memory = true;
  TfrmKXSchedule dialog(app, false);
  Run(dialog, kScheduleOptionsClass, {[&](HWND d) {
        for (int id : fields) enabled_before.push_back(Enabled(d, id));
        ClickControl(d, kSchCbSchedEnabled);
        for (int id : fields) enabled_after.push_back(Enabled(d, id));
        in_memory = app.settings.schedenabled;
        PostKey(VK_ESCAPE);
      }});
  EXPECT_EQ(enabled_before, std::vector<bool>(std::size(fields), true));
  EXPECT_EQ(enabled_after, std::vector<bool>(std::size(fields), false));
  EXPECT_FALSE(in_memory);
  EXPECT_FALSE(app.settings.schedenabled);
  EXPECT_FALSE(Wrote());
}

TEST_F(OptionDialogTest, ScheduleHidesTheCredentialsFromWindows2000OnAndShortens) {
  int height[2] = {};
  bool credentials_shown[2] = {};
  for (const bool windows2000 : {false, true}) {
    TfrmKXSchedule dialog(app, windows2000);
    Run(dialog, kScheduleOptionsClass, {[&](HWND d) {
          RECT r;
          GetWindowRect(d, &r);
          height[windows2000] = r.bottom - r.top;
          credentials_shown[windows2000] = Showing(d, kSchTeUserName) && Showing(d, kSchTePassword);
          // The buttons stay below the group that holds the retry fields.
          RECT group, ok;
          GetWindowRect(testing::Control(d, kSchDialGroup), &group);
          GetWindowRect(testing::Control(d, IDOK), &ok);
          EXPECT_GT(ok.top, group.bottom);
          EXPECT_LT(ok.bottom, r.bottom);
          ClickControl(d, IDCANCEL);
        }});
  }
  EXPECT_TRUE(credentials_shown[false]);
  EXPECT_FALSE(credentials_shown[true]);
  EXPECT_LT(height[true], height[false]);
}

// --- email Settings ----------------------------------------------------------

TEST_F(OptionDialogTest, EmailMapiKeepsTheServerAndSmtpStoresItAsTyped) {
  struct Case {
    bool stored_smtp;
    int pick;
    const char* typed;
    bool usesmtp;
    const char* server;
    bool host_shown_at_open;
  };
  const Case cases[] = {
      {true, kEmRbMAPI, "typed.example", false, "mail.example", true},
      {false, kEmRbSMTP, "", true, "", false},
      {false, kEmRbSMTP, "other.example", true, "other.example", false},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.typed);
    app.settings.usesmtp = c.stored_smtp;
    app.settings.SMTPServer = "mail.example";
    bool host_shown = false;
    std::string host_at_open;
    Tfrmemail dialog(app);
    Run(dialog, kEmailOptionsClass, {[&](HWND d) {
          host_shown = Showing(d, kEmTeHost);
          host_at_open = ControlText(d, kEmTeHost);
          ClickControl(d, c.pick);
          EXPECT_EQ(Showing(d, kEmTeHost), c.pick == kEmRbSMTP);
          SetControlText(d, kEmTeHost, c.typed);
          ClickControl(d, IDOK);
        }});
    EXPECT_EQ(host_shown, c.host_shown_at_open);
    EXPECT_EQ(host_at_open, "mail.example");
    EXPECT_EQ(Stored().usesmtp, c.usesmtp);
    EXPECT_EQ(Stored().SMTPServer, c.server);
  }
}

TEST_F(OptionDialogTest, EmailStoresSubmissionAndRefusesABadPortOrAPlainTextSignIn) {
  struct Case {
    const char* port;
    int security;
    const char* user;
    const char* refusal;  // null: stored and closed
  } cases[] = {
      {"587", kEmRbStartTls, "joe", nullptr},
      {"70000", kEmRbTls, "joe", kInvalidSmtpPortMessage},
      {"465", kEmRbPlain, "joe", kPasswordNeedsTlsMessage},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.port);
    app.settings.usesmtp = true;
    app.settings.SMTPPort = 25;
    app.settings.SMTPSecurity = 0;
    app.settings.SMTPUser = "";
    app.Save();
    boxes.boxes.clear();
    bool closed = true;
    Tfrmemail dialog(app);
    Run(dialog, kEmailOptionsClass, {[&](HWND d) {
          EXPECT_EQ(ControlText(d, kEmTePort), "25");
          EXPECT_TRUE(Ticked(d, kEmRbPlain));
          SetControlText(d, kEmTePort, c.port);
          ClickControl(d, c.security);
          SetControlText(d, kEmTeUser, c.user);
          SetControlText(d, kEmTePassword, "s3cret");
          ClickControl(d, IDOK);
          closed = !IsWindow(d);
          if (!closed) ClickControl(d, IDCANCEL);
        }});
    if (c.refusal) {
      EXPECT_THAT(boxes.texts(), ElementsAre(c.refusal));
      EXPECT_FALSE(closed);
      EXPECT_EQ(Stored().SMTPSecurity, 0);
      EXPECT_EQ(Stored().SMTPUser, "");
    } else {
      EXPECT_TRUE(boxes.boxes.empty());
      EXPECT_EQ(Stored().SMTPPort, 587);
      EXPECT_EQ(Stored().SMTPSecurity, 1);
      EXPECT_EQ(Stored().SMTPUser, "joe");
      EXPECT_EQ(Stored().SMTPPass, "s3cret");
    }
  }
}

// --- Activity Log ------------------------------------------------------------

TEST_F(OptionDialogTest, ActivityLogStoresItsSwitchesAndTheNoticeKindsFollowTheMasterSwitch) {
  app.settings.noticeretries = false;
  bool kinds_enabled_at_open = false, kinds_enabled_after = true;
  TfrmKXActivityLog dialog(app, "C:\\nowhere\\Tarnwick.log");
  Run(dialog, kActivityLogOptionsClass, {[&](HWND d) {
        EXPECT_FALSE(IsDlgButtonChecked(d, kAlChkRetries));
        kinds_enabled_at_open = IsWindowEnabled(GetDlgItem(d, kAlChkDrop));
        ClickControl(d, kAlChkEnabled);
        SetControlText(d, kAlTeFile, "D:\\logs\\line.log");
        ClickControl(d, kAlChkIpChange);
        ClickControl(d, kAlChkNotices);
        kinds_enabled_after = IsWindowEnabled(GetDlgItem(d, kAlChkDrop));
        ClickControl(d, IDOK);
      }});
  EXPECT_TRUE(kinds_enabled_at_open);
  EXPECT_FALSE(kinds_enabled_after);
  const Settings stored = Stored();
  EXPECT_TRUE(stored.loggingenabled);
  EXPECT_EQ(stored.logfile, "D:\\logs\\line.log");
  EXPECT_FALSE(stored.notices);
  EXPECT_FALSE(stored.noticeipchange);
  EXPECT_FALSE(stored.noticeretries);
  EXPECT_TRUE(stored.noticedrop);
}

// --- Every dialog ------------------------------------------------------------

struct DialogCase {
  const char* window_class;
  std::function<std::unique_ptr<OptionDialog>(Application&, WatchState&, MonitorParts&)> make;
  int edit;   // a field to type into before leaving
  int pages;  // of its own tab control
};

std::vector<DialogCase> EveryDialog() {
  return {
      {kReconnectOptionsClass,
       [](Application& a, WatchState& w, MonitorParts&) {
         return std::make_unique<TfrmKXReconnect>(a, w, nullptr, false);
       },
       kRecTeUserName, 3},
      {kKeepAliveOptionsClass,
       [](Application& a, WatchState&, MonitorParts&) {
         return std::make_unique<TfrmKXKeepAlive>(a);
       },
       kKaTeProxyServer, 2},
      {kScheduleOptionsClass,
       [](Application& a, WatchState&, MonitorParts&) {
         return std::make_unique<TfrmKXSchedule>(a, false);
       },
       kSchTeUserName, 1},
      {kEmailOptionsClass,
       [](Application& a, WatchState&, MonitorParts&) { return std::make_unique<Tfrmemail>(a); },
       kEmTeHost, 1},
      {kMonitorOptionsClass,
       [](Application& a, WatchState&, MonitorParts& m) {
         return std::make_unique<TfrmKXMonitor>(a, m.tests);
       },
       kMonChkMonitor2, 2},
      // The tab strip of the e-mail page, the editor's page at opening, is
      // inside a page: its own tabs are not walked here.
      {kMethodEditorClass,
       [](Application&, WatchState&, MonitorParts& m) {
         return std::make_unique<TfrmMonMethod>(m.working, -1, m.tests);
       },
       kMmTeFrom, 1},
  };
}

TEST_F(OptionDialogTest, CancelEscapeAndTheCloseBoxChangeNothing) {
  const std::function<void(HWND)> leave[] = {
      [](HWND d) { ClickControl(d, IDCANCEL); },
      [](HWND) { PostKey(VK_ESCAPE); },
      [](HWND d) { PostMessageA(d, WM_CLOSE, 0, 0); },
  };
  for (const DialogCase& dialog_case : EveryDialog()) {
    for (size_t way = 0; way < std::size(leave); ++way) {
      SCOPED_TRACE(std::string(dialog_case.window_class) + " way " + std::to_string(way));
      registry.log.clear();
      const Settings before = app.settings;
      auto dialog = dialog_case.make(app, watch, monitor);
      const INT_PTR result = Run(*dialog, dialog_case.window_class, {[&](HWND d) {
        SetControlText(d, dialog_case.edit, "changed");
        SetFocus(testing::Control(d, dialog_case.edit));
        leave[way](d);
      }});
      EXPECT_EQ(result, IDCANCEL);
      EXPECT_EQ(app.settings, before);
      EXPECT_FALSE(Wrote());
    }
  }
}

// Tab visits every enabled field once, top to bottom (a row left to right),
// a tab strip before its page, and comes back round.
TEST_F(OptionDialogTest, TabRunsTopToBottomThroughEachPage) {
  app.settings.kaMethod = kKeepAlivePing;
  app.settings.schedenabled = true;
  app.settings.MonitorIP = true;
  app.settings.notifs.resize(2);
  for (const DialogCase& dialog_case : EveryDialog()) {
    auto dialog = dialog_case.make(app, watch, monitor);
    const int pages = dialog_case.pages;
    for (int page = 0; page < pages; ++page) {
      SCOPED_TRACE(std::string(dialog_case.window_class) + " page " + std::to_string(page));
      std::vector<HWND> visited, expected;
      std::vector<RECT> places;  // of the visited, taken while the dialog shows
      const auto visit = [&] {
        visited.push_back(GetFocus());
        RECT r{};
        GetWindowRect(visited.back(), &r);
        places.push_back(r);
        PostKey(VK_TAB);
      };
      std::vector<ModalDriver::Step> steps = {[&](HWND d) {
        if (pages > 1) PickTab(d, page);
        expected = dialog->TabStops();
        SetFocus(expected.front());
        visit();
      }};
      for (int i = 0; i < 30; ++i) {
        steps.push_back([&](HWND) {
          if (visited.size() <= expected.size()) visit();
        });
      }
      steps.push_back([](HWND d) { ClickControl(d, IDCANCEL); });
      Run(*dialog, dialog_case.window_class, std::move(steps));
      ASSERT_GE(expected.size(), 3u);
      ASSERT_EQ(visited.size(), expected.size() + 1);
      EXPECT_EQ(visited.back(), visited.front());  // round again
      visited.pop_back();
      EXPECT_EQ(visited, expected);
      for (size_t i = 1; i < visited.size(); ++i) {
        const RECT& a = places[i - 1];
        const RECT& b = places[i];
        const bool same_row = b.top < a.bottom && a.top < b.bottom;
        EXPECT_TRUE(same_row ? b.left > a.left : b.top >= a.bottom) << "stop " << i;
      }
    }
  }
}

TEST_F(OptionDialogTest, EachOpensOverTheMainWindowByTheDialogRule) {
  for (const DialogCase& dialog_case : EveryDialog()) {
    SCOPED_TRACE(dialog_case.window_class);
    RECT r{};
    char class_name[64] = {};
    auto dialog = dialog_case.make(app, watch, monitor);
    Run(*dialog, dialog_case.window_class, {[&](HWND d) {
      GetWindowRect(d, &r);
      GetClassNameA(d, class_name, sizeof class_name);
      EXPECT_FALSE(IsWindowEnabled(main.hwnd()));  // modal
      ClickControl(d, IDCANCEL);
    }});
    EXPECT_STREQ(class_name, dialog_case.window_class);
    EXPECT_NEAR((r.left + r.right) / 2.0, 200 + 220 + 10, 1.0);
    EXPECT_NEAR((r.top + r.bottom) / 2.0, 150 + 180, 1.0);
  }
}

}  // namespace
}  // namespace tarnwick
