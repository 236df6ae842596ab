// The main window's commands that open the option dialogs, and what the window
// does once each has closed, against the simulated RAS service.
#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <cstdio>

#include "app/memory_registry.h"
#include "app/message_loop_win32.h"
#include "app/settings_store.h"
#include "support/message_box_recorder.h"
#include "ui/email_options_win32.h"
#include "ui/keepalive_options_win32.h"
#include "ui/main_window_win32.h"
#include "ui/method_editor_win32.h"
#include "ui/monitor_dialog_ids.h"
#include "ui/monitor_options_win32.h"
#include "ui/option_dialog_ids.h"
#include "ui/reconnect_options_win32.h"
#include "ui/schedule_options_win32.h"
#include "win/ras/rassim_fixture.h"
#include "win/ui/modal_driver.h"

namespace tarnwick {
namespace {

using testing::ClickControl;
using testing::ControlText;
using testing::ModalDriver;
using testing::SetControlText;

class MainOptionsTest : public testing::RassimTest {
 protected:
  void SetUp() override {
    RassimTest::SetUp();
    WriteControl("entry Home DSL\nuser book-user\npassword book-pw\n");
    SetDefaultSettings(app.settings);
    app.settings.conname = "Home DSL";
    app.registry = &registry;
    app.end_process = [] {};
  }
  void TearDown() override {
    window.reset();
    ResetMessageLoopState();
    RassimTest::TearDown();
  }

  TMain& Start() {
    window = std::make_unique<TMain>(app);
    EXPECT_TRUE(window->Create());
    return *window;
  }

  // The user chooses `command` (toolbar or menu); `steps` run in the dialog it opens.
  void Choose(UINT command, const char* window_class, std::vector<ModalDriver::Step> steps) {
    ModalDriver driver(window_class, std::move(steps));
    SendMessageA(window->hwnd(), WM_COMMAND, command, 0);
    EXPECT_TRUE(driver.done()) << window_class << " did not run all its steps";
    EXPECT_FALSE(driver.left_open());
  }

  Application app;
  MemoryRegistry registry;
  testing::MessageBoxRecorder boxes;
  std::unique_ptr<TMain> window;
};

TEST_F(MainOptionsTest, TheKeepAliveTimerFollowsTheSettingsAfterEveryClose) {
  struct Case {
    const char* what;
    uint8_t stored_method;
    std::function<void(HWND)> act;
    bool enabled;
    UINT interval;
  };
  const Case cases[] = {
      {"ping chosen with OK", 0,
       [](HWND d) {
         ClickControl(d, kKaRbPing);
         SetControlText(d, kKaTePHost, "192.0.2.1");
         SetControlText(d, kKaTePInterval, "7");
         ClickControl(d, IDOK);
       },
       true, 7 * 60000},
      {"running ping, Cancel", 1, [](HWND d) { ClickControl(d, IDCANCEL); }, true, 5 * 60000},
      {"running ping, No Keep-Alive with OK", 1,
       [](HWND d) {
         ClickControl(d, kKaRbNone);
         ClickControl(d, IDOK);
       },
       false, 0},
      {"web chosen, letters as ping interval: warned, closed, web in memory", 0,
       [](HWND d) {
         ClickControl(d, kKaRbWeb);
         SetControlText(d, kKaTeWebURL, "http://127.0.0.1/");
         SetControlText(d, kKaTeWebInterval, "9");
         SetControlText(d, kKaTePInterval, "x");
         ClickControl(d, IDOK);
       },
       true, 5 * 60000},  // the web interval was not reached: it stays 5
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.what);
    SetDefaultSettings(app.settings);
    app.settings.conname = "Home DSL";
    app.settings.kaMethod = c.stored_method;
    app.settings.kaPingHost = "192.0.2.1";
    Start();
    Timer& timer = window->Watch().tmKeepAlive();
    ASSERT_EQ(timer.Enabled(), c.stored_method != 0);
    Choose(kCmdKeepAlive, kKeepAliveOptionsClass, {c.act});
    EXPECT_EQ(timer.Enabled(), c.enabled);
    if (c.enabled) {
      EXPECT_EQ(timer.Interval(), c.interval);
    }
    window.reset();
  }
}

TEST_F(MainOptionsTest, TheSchedulerIsArmedWhenTheScheduleIsOnAfterOkOrCancel) {
  struct Case {
    const char* what;
    bool stored_enabled;
    std::function<void(HWND)> act;
    bool armed;
  };
  // The box takes effect at once, so Cancel keeps a ticked schedule; a schedule
  // turned off stops the check, so a stale dial time never dials.
  const Case cases[] = {
      {"ticked, then Cancel", false,
       [](HWND d) {
         ClickControl(d, kSchCbSchedEnabled);
         ClickControl(d, IDCANCEL);
       },
       true},
      {"ticked with a day, OK", false,
       [](HWND d) {
         ClickControl(d, kSchCbSchedEnabled);
         ClickControl(d, kSchCbMonday);
         ClickControl(d, IDOK);
       },
       true},
      {"left off, OK", false, [](HWND d) { ClickControl(d, IDOK); }, false},
      {"running, cleared with OK", true,
       [](HWND d) {
         ClickControl(d, kSchCbSchedEnabled);
         ClickControl(d, IDOK);
       },
       false},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.what);
    SetDefaultSettings(app.settings);
    app.settings.conname = "Home DSL";
    app.settings.schedenabled = c.stored_enabled;
    app.settings.weekdays = {4};  // Wednesday
    Start();
    Choose(kCmdScheduler, kScheduleOptionsClass, {c.act});
    EXPECT_EQ(window->Watch().tmScheduler().Enabled(), c.armed);
    window.reset();
  }
}

TEST_F(MainOptionsTest, ReconnectShowsThePhonebookCredentialsStoresThemAndEndsTheHoldOff) {
  Start();
  window->Watch().State().reconnect_holdoff = kReconnectHoldoffTicks;
  std::string user, password;
  Choose(kCmdReconnection, kReconnectOptionsClass, {[&](HWND d) {
           user = ControlText(d, kRecTeUserName);
           password = ControlText(d, kRecTePassword);
           ClickControl(d, IDOK);
         }});
  EXPECT_EQ(user, "book-user");
  EXPECT_EQ(password, "book-pw");
  Settings stored;
  SetDefaultSettings(stored);
  LoadSettings(stored, registry);
  EXPECT_EQ(stored.connuser, "book-user");
  EXPECT_EQ(stored.connpass, "book-pw");
  EXPECT_EQ(window->Watch().State().reconnect_holdoff, 0);
}

// The editor's test launch takes the address the window shows; OK hands the new
// list to the running program.
TEST_F(MainOptionsTest, TheIpMonitorCommandTestsWithTheShownAddressAndOkReplacesTheList) {
  Start();
  SetWindowTextA(window->Controls().Label10, "10.9.8.7");
  char temp[MAX_PATH] = {};
  GetTempPathA(sizeof temp, temp);
  const std::string out = std::string(temp) + "ip-monitor-launch.txt";
  DeleteFileA(out.c_str());
  SetEnvironmentVariableA("TARNWICK_PROBE_OUT", out.c_str());
  std::string probe = "Z:" + std::string(LAUNCH_PROBE);
  for (char& c : probe) c = c == '/' ? '\\' : c;
  ModalDriver driver({{kMonitorOptionsClass,
                       [](HWND d) {
                         ClickControl(d, kMonChkMonitor2);
                         ClickControl(d, kMonBtnAdd);
                       }},
                      {kMethodEditorClass,
                       [&](HWND e) {
                         ClickControl(e, kMmRbLaunch);
                         SetControlText(e, kMmTeApp1, probe);
                         SetControlText(e, kMmTeParam1, "<IPADDRESS>");
                         ClickControl(e, kMmLaunchTest);
                         ClickControl(e, IDOK);
                       }},
                      {kMonitorOptionsClass, [](HWND d) { ClickControl(d, IDOK); }}});
  SendMessageA(window->hwnd(), WM_COMMAND, kCmdIpMonitor, 0);
  EXPECT_TRUE(driver.done());
  std::string launched;
  for (int i = 0; i < 100 && launched.empty(); ++i, Sleep(50)) {
    if (FILE* file = std::fopen(out.c_str(), "rb")) {
      char text[64] = {};
      launched.assign(text, std::fread(text, 1, sizeof text - 1, file));
      std::fclose(file);
    }
  }
  EXPECT_EQ(launched, "10.9.8.7");
  EXPECT_TRUE(app.settings.MonitorIP);
  ASSERT_EQ(app.settings.notifs.size(), 1u);
  EXPECT_EQ(app.settings.notifs[0].LaunchNotifr.LnchParam, "<IPADDRESS>");
}

TEST_F(MainOptionsTest, TheEmailSettingsMenuItemOpensItsDialog) {
  Start();
  Choose(kCmdEmailSettings, kEmailOptionsClass, {[](HWND d) {
           ClickControl(d, kEmRbSMTP);
           SetControlText(d, kEmTeHost, "127.0.0.1");
           ClickControl(d, IDOK);
         }});
  EXPECT_TRUE(app.settings.usesmtp);
  EXPECT_EQ(app.settings.SMTPServer, "127.0.0.1");
}

}  // namespace
}  // namespace tarnwick
