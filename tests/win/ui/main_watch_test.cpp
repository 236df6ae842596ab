// The main window's watch of the chosen entry against the simulated RAS
// service, in real time: the poll, the hand-off of a drop to the reconnect
// window and what happens when it closes.
#include <cstdio>

#include "win/ui/main_watch_fixture.h"

namespace tarnwick {
namespace {

using testing::kPhonebook;
using testing::MainWatchTest;
using testing::Text;

TEST_F(MainWatchTest, TheStoredEntryIsSelectedAndAConnectionShowsItsAddressAndCounts) {
  WriteControl(std::string(kPhonebook) + "connected Home DSL\n");
  Start();
  HWND picker = window->Controls().cbConnections;
  EXPECT_EQ(SendMessageA(picker, CB_GETCOUNT, 0, 0), 2);
  EXPECT_EQ(SendMessageA(picker, CB_GETCURSEL, 0, 0), 1);
  ASSERT_TRUE(PumpUntil([&] { return !Address().empty(); }, 4000));
  EXPECT_EQ(Address().rfind("10.64.0.", 0), 0u);
  EXPECT_TRUE(ShowsConnected());
  EXPECT_TRUE(PumpUntil([&] { return Text(window->Controls().lblbrec) != "0" &&
                                      !Text(window->Controls().lblbrec).empty(); }, 4000));
}

TEST_F(MainWatchTest, AnUnknownStoredEntryWatchesTheLastOne) {
  WriteControl(kPhonebook);
  app.settings.conname = "Gone";
  Start();
  EXPECT_EQ(SendMessageA(window->Controls().cbConnections, CB_GETCURSEL, 0, 0), 1);
  ASSERT_TRUE(PumpUntil([&] { return app.settings.conname == "Home DSL"; }, 3000));
}

TEST_F(MainWatchTest, ANewAddressIsRecordedAndSaved) {
  WriteControl(std::string(kPhonebook) + "connected Home DSL\n");
  app.settings.MonitorIP = true;
  Notif skipped;
  skipped.NotifyMethod = 9;  // a kind the run passes over
  app.settings.notifs = {skipped};
  Start();
  ASSERT_TRUE(PumpUntil([&] { return !Address().empty(); }, 4000));
  ASSERT_TRUE(PumpUntil([&] { return registry.Get(kProductKey, "lastip").has_value(); }, 3000));
  EXPECT_EQ(registry.Get(kProductKey, "lastip"), RegText(Address()));
  EXPECT_EQ(app.settings.lastip, Address());
}

TEST_F(MainWatchTest, ADropWithReconnectOnIsRedialedAndTheEnginesComeBack) {
  WriteControl(std::string(kPhonebook) + "connected Home DSL\n");
  app.settings.Reconnect = true;
  app.settings.kaMethod = 1;
  app.settings.schedenabled = true;  // at a time of day that does not come in the test
  app.settings.weekdays = {1};
  app.settings.schedtime = 0.5;
  Start();
  MainWatch& watch = window->Watch();
  EXPECT_TRUE(watch.tmKeepAlive().Enabled());
  EXPECT_TRUE(watch.tmScheduler().Enabled());
  ASSERT_TRUE(PumpUntil([&] { return !Address().empty(); }, 4000));
  const std::string first = Address();

  WriteControl(std::string(kPhonebook) + "drop Home DSL\n");
  ASSERT_TRUE(PumpUntil([&] { return ReconnectWindowOpen(); }, 4000));
  EXPECT_FALSE(watch.tmIPCheck().Enabled());
  EXPECT_FALSE(watch.tmKeepAlive().Enabled());
  EXPECT_FALSE(watch.tmScheduler().Enabled());

  // The window dials a second after it opened and closes half a second after "Connected".
  ASSERT_TRUE(PumpUntil([&] { return !ReconnectWindowOpen(); }, 8000));
  EXPECT_EQ(watch.ReconnectWindow(), nullptr);
  EXPECT_TRUE(watch.tmIPCheck().Enabled());
  EXPECT_TRUE(watch.tmKeepAlive().Enabled());
  EXPECT_TRUE(watch.tmScheduler().Enabled());
  ASSERT_TRUE(PumpUntil([&] { return !Address().empty() && Address() != first; }, 5000));
  EXPECT_TRUE(ShowsConnected());
  const auto dials = LogLines("RasDialA");
  EXPECT_FALSE(dials.empty());
  EXPECT_EQ(dials.size(), LogLines("RasDialA entry=\"Home DSL\"").size());
}

TEST_F(MainWatchTest, WithReconnectOffADropIsOnlyShown) {
  WriteControl(std::string(kPhonebook) + "connected Home DSL\n");
  Start();
  ASSERT_TRUE(PumpUntil([&] { return ShowsConnected(); }, 4000));
  WriteControl(std::string(kPhonebook) + "drop Home DSL\n");
  ASSERT_TRUE(PumpUntil([&] { return !ShowsConnected(); }, 4000));
  EXPECT_FALSE(PumpUntil([&] { return ReconnectWindowOpen(); }, 2500));
  EXPECT_TRUE(window->Watch().tmIPCheck().Enabled());
  EXPECT_TRUE(LogLines("RasDialA").empty());
}

TEST_F(MainWatchTest, TheStartDelayHoldsTheReconnectionBack) {
  WriteControl(kPhonebook);  // the entry is down from the start
  app.settings.Reconnect = true;
  app.settings.usestartdelay = true;
  app.settings.startdelay = 3;
  app.flags.StartupLaunch = true;
  Start();
  EXPECT_TRUE(window->Watch().State().start_delay);
  EXPECT_FALSE(PumpUntil([&] { return ReconnectWindowOpen(); }, 2000));
  ASSERT_TRUE(PumpUntil([&] { return ReconnectWindowOpen(); }, 4000));
  EXPECT_FALSE(window->Watch().State().start_delay);
}

TEST_F(MainWatchTest, AZeroOrNegativeStartDelayEndsAtOnce) {
  WriteControl(kPhonebook);
  app.settings.usestartdelay = true;
  app.flags.StartupLaunch = true;
  for (int delay : {0, -5}) {
    app.settings.startdelay = delay;
    Start();
    EXPECT_TRUE(window->Watch().State().start_delay);
    EXPECT_TRUE(PumpUntil([&] { return !window->Watch().State().start_delay; }, 500)) << delay;
    window.reset();
  }
}

void WINAPI IgnoreProgress(HRASCONN, UINT, RASCONNSTATE, DWORD, DWORD) {}

// Someone else (the user, Windows) dials the watched entry: while it is being
// dialed it is listed without an address. The poll shows it as down and leaves
// it alone, even with reconnection on, and picks it up once it has connected.
TEST_F(MainWatchTest, AConnectionStillBeingDialedAtATickIsNotHungUp) {
  WriteControl("step-delay 300\nhangup-delay 0\nentry Office ISDN\nentry Home DSL\n");
  app.settings.Reconnect = true;
  RASDIALPARAMSA params{};
  params.dwSize = sizeof params;
  lstrcpyA(params.szEntryName, "Home DSL");
  HRASCONN handle = nullptr;
  auto dial = Ras<decltype(&RasDialA)>("RasDialA");
  ASSERT_EQ(dial(nullptr, nullptr, &params, 1, reinterpret_cast<LPVOID>(&IgnoreProgress), &handle),
            0u);
  char handle_text[32];
  std::snprintf(handle_text, sizeof handle_text, "handle=0x%llx ",
                static_cast<unsigned long long>(reinterpret_cast<uintptr_t>(handle)));

  Start();
  const ULONGLONG started = GetTickCount64();
  bool reconnect_window = false;
  const bool connected = PumpUntil([&] {
    reconnect_window = reconnect_window || ReconnectWindowOpen();
    return !LogLines("connected entry=\"Home DSL\"").empty();
  }, 8000);
  ASSERT_TRUE(connected) << ReadLog();
  // The poll ticks every second: two or more ticks met the dial on its way.
  EXPECT_GE(GetTickCount64() - started, 2000u);
  EXPECT_FALSE(ShowsConnected());  // not connected until a tick sees it connected
  ASSERT_TRUE(PumpUntil([&] { return !Address().empty(); }, 3000));
  EXPECT_TRUE(ShowsConnected());
  EXPECT_FALSE(reconnect_window);
  for (const std::string& line : LogLines("RasHangUpA ")) {
    EXPECT_EQ(line.find(handle_text), std::string::npos) << line;
  }
  EXPECT_EQ(LogLines("RasDialA ").size(), 1u);  // the other program's own
}

TEST_F(MainWatchTest, PickingAConnectedEntryShowsItsAddress) {
  WriteControl(std::string(kPhonebook) + "connected Office ISDN\n");
  app.settings.conname = "Home DSL";
  Start();
  HWND picker = window->Controls().cbConnections;
  SendMessageA(picker, CB_SETCURSEL, 0, 0);
  SendMessageA(window->hwnd(), WM_COMMAND, MAKEWPARAM(kIdConnections, CBN_SELCHANGE),
               reinterpret_cast<LPARAM>(picker));
  EXPECT_EQ(app.settings.conname, "Office ISDN");
  ASSERT_EQ(boxes.boxes.size(), 1u);
  EXPECT_EQ(boxes.boxes[0].text.rfind("10.64.0.", 0), 0u);
  EXPECT_EQ(registry.Get(kProductKey, "conname"), RegText("Office ISDN"));

  // An entry that is down shows nothing and stays down.
  boxes.boxes.clear();
  SendMessageA(picker, CB_SETCURSEL, 1, 0);
  SendMessageA(window->hwnd(), WM_COMMAND, MAKEWPARAM(kIdConnections, CBN_SELCHANGE),
               reinterpret_cast<LPARAM>(picker));
  EXPECT_TRUE(boxes.boxes.empty());
  EXPECT_EQ(app.settings.conname, "Home DSL");
}

}  // namespace
}  // namespace tarnwick
