// TfrmReconnecting against the simulated RAS service: the window as the user
// sees it, and its dial loop with real messages, real time and a host that
// destroys it as soon as it is told the window closed (in the call, or from a
// message it posted to itself).
#include <gmock/gmock.h>

#include <cstdio>
#include <cstdlib>
#include <string>
#include <functional>

#include "app/message_loop_win32.h"
#include "app/waits_win32.h"
#include "ui/reconnecting_ids.h"
#include "ui/reconnecting_window_win32.h"
#include "win/ras/rassim_fixture.h"
#include "ui/placement.h"

namespace tarnwick {
namespace {

using ::testing::AnyOf;
using ::testing::Contains;
using ::testing::HasSubstr;
using ::testing::Not;

// The simulator's text for RAS error 678.
constexpr const char* kNoAnswer = "There was no answer.";

std::string Text(HWND window) {
  char text[512] = {};
  GetWindowTextA(window, text, sizeof(text));
  return text;
}

// The real pumping sleeper, plus a hook that runs after every message pass: the
// test's eyes and hands while the loop runs nested inside the window's timer.
class HookedPump : public PumpingSleeper {
 public:
  void Sleep(int ms) override { real_.Sleep(ms); }
  void ProcessMessages() override {
    real_.ProcessMessages();
    if (hook) hook();
  }
  bool Quitting() const override { return real_.Quitting(); }
  std::function<void()> hook;

 private:
  Win32PumpingSleeper real_;
};

enum class HostMode { kDestroyInCall, kDestroyByPostedMessage };

class TestHost : public ReconnectHost {
 public:
  explicit TestHost(HostMode mode) : mode_(mode) {
    window_ =
        CreateWindowExA(0, "STATIC", "", 0, 0, 0, 0, 0, HWND_MESSAGE, nullptr, nullptr, nullptr);
    SetWindowLongPtrA(window_, GWLP_USERDATA, reinterpret_cast<LONG_PTR>(this));
    SetWindowLongPtrA(window_, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(&TestHost::Proc));
  }
  ~TestHost() override { DestroyWindow(window_); }

  void ReconnectWindowClosed(bool connected) override {
    closes.push_back(connected);
    closed_at_ms = GetTickCount64();
    loop_running_at_close = reconnect->LoopRunning();
    if (mode_ == HostMode::kDestroyInCall) {
      Destroy();
    } else {
      PostMessageA(window_, kMsgDestroy, 0, 0);
    }
  }
  void Destroy() {
    const HWND hwnd = reconnect->hwnd();
    reconnect.reset();
    destroyed_window_gone = !IsWindow(hwnd);
  }

  std::unique_ptr<TfrmReconnecting> reconnect;
  std::vector<bool> closes;
  bool loop_running_at_close = true;
  bool destroyed_window_gone = false;
  ULONGLONG closed_at_ms = 0;

 private:
  static constexpr UINT kMsgDestroy = WM_APP + 7;
  static LRESULT CALLBACK Proc(HWND hwnd, UINT message, WPARAM wparam, LPARAM lparam) {
    auto* self = reinterpret_cast<TestHost*>(GetWindowLongPtrA(hwnd, GWLP_USERDATA));
    if (self && message == kMsgDestroy) {
      self->Destroy();
      return 0;
    }
    return DefWindowProcA(hwnd, message, wparam, lparam);
  }
  HostMode mode_;
  HWND window_ = nullptr;
};

// Every test runs with both hosts. (Not a value-parameterized suite: the
// simulator's fixture makes a folder named after the test.)
class ReconnectWindowTest : public testing::RassimTest {
 protected:
  explicit ReconnectWindowTest(HostMode mode) : host_(mode) {}
  void RetriedUntilItConnects();
  void CancelDuringTheCountdown();
  void CloseBoxDuringADial();
  void CredentialsOnlyOnOlderSystems();

  void SetUp() override {
    RassimTest::SetUp();
    app_.settings.conname = "ISP";
    app_.settings.redelay = 1;
    app_.settings.maxretries = 10;
    pump_.hook = [this] { Watch(); };
  }
  void TearDown() override {
    host_.reconnect.reset();
    RassimTest::TearDown();
  }
  void Open(const ReconnectWindowOptions& options = {}) {
    host_.reconnect = OpenReconnectWindow(app_, watch_, host_, pump_, clock_, nullptr, options);
    ASSERT_NE(host_.reconnect, nullptr);
  }
  // Records every new status text while the loop runs and lets the test act on it.
  void Watch() {
    if (!host_.reconnect) return;
    const std::string text = Text(host_.reconnect->teStatus());
    if (statuses_.empty() || statuses_.back() != text) {
      statuses_.push_back(text);
      if (on_status_) on_status_(text);
    }
  }
  // Until the window is destroyed; a little longer so that anything still
  // arriving for it meets the destroyed window.
  void RunUntilDestroyed(int timeout_ms) {
    ASSERT_TRUE(PumpUntil([&] { return host_.reconnect == nullptr; }, timeout_ms))
        << "statuses: " << ::testing::PrintToString(statuses_) << "\nlog:\n"
        << ReadLog();
    PumpUntil([] { return false; }, 300);
    EXPECT_TRUE(host_.destroyed_window_gone);
    EXPECT_FALSE(host_.loop_running_at_close);
  }
  size_t Count(const std::string& prefix) const { return LogLines(prefix).size(); }

  Application app_;
  WatchState watch_;
  HookedPump pump_;
  Win32Clock clock_;
  TestHost host_;
  std::vector<std::string> statuses_;
  std::function<void(const std::string&)> on_status_;
};

void ReconnectWindowTest::RetriedUntilItConnects() {
  constexpr int kFailures = 2;
  // Steps longer than a pass of the loop, so that each shows in the status line.
  const std::string entry = "step-delay 150\nhangup-delay 0\nentry ISP\n";
  WriteControl(entry + "outcome fail 678 at 2\n");
  int failures = 0;
  on_status_ = [&](const std::string& text) {
    if (text == kNoAnswer && ++failures == kFailures) WriteControl(entry);  // the next one connects
  };
  Open();
  RunUntilDestroyed(15000);
  EXPECT_EQ(host_.closes, std::vector<bool>{true});
  EXPECT_EQ(Count("RasDialA "), kFailures + 1u);
  EXPECT_EQ(Count("connected entry=\"ISP\""), 1u);
  EXPECT_THAT(statuses_, Contains(CountdownText(0)));
  // The dial's own progress (a slow pass shows only the latest report of several).
  EXPECT_THAT(statuses_, Contains(AnyOf("Opening port", "Port opened", "Connecting device")));
  EXPECT_EQ(statuses_.back(), kConnectedText);
  EXPECT_EQ(watch_.reconnect_holdoff, 0);
}

void ReconnectWindowTest::CancelDuringTheCountdown() {
  app_.settings.redelay = 30;
  WriteControl("step-delay 1\nhangup-delay 0\nentry ISP\noutcome fail 678 at 2\n");
  on_status_ = [&](const std::string& text) {
    if (text == CountdownText(29)) PostMessageA(host_.reconnect->Button1(), BM_CLICK, 0, 0);
  };
  Open();
  const ULONGLONG start = GetTickCount64();
  RunUntilDestroyed(10000);
  EXPECT_LT(GetTickCount64() - start, 5000u);
  EXPECT_EQ(host_.closes, std::vector<bool>{false});
  EXPECT_EQ(Count("RasDialA "), 1u);
  EXPECT_EQ(watch_.reconnect_holdoff, kReconnectHoldoffTicks);
}

void ReconnectWindowTest::CloseBoxDuringADial() {
  WriteControl("step-delay 150\nhangup-delay 0\nentry ISP\n");
  // At the first progress text the loop shows, whichever it is (a slow pass
  // shows only the latest of the reports that came in meanwhile).
  bool closed = false;
  on_status_ = [&](const std::string& text) {
    if (closed || text == kDialingText) return;
    closed = true;
    PostMessageA(host_.reconnect->hwnd(), WM_SYSCOMMAND, SC_CLOSE, 0);
  };
  Open();
  RunUntilDestroyed(10000);
  EXPECT_EQ(host_.closes, std::vector<bool>{false});
  EXPECT_EQ(Count("RasDialA "), 1u);
  EXPECT_EQ(Count("connected "), 0u);
  ASSERT_EQ(Count("released "), 1u);
  EXPECT_THAT(statuses_, Not(Contains(kConnectedText)));
  EXPECT_EQ(watch_.reconnect_holdoff, kReconnectHoldoffTicks);
}

void ReconnectWindowTest::CredentialsOnlyOnOlderSystems() {
  app_.settings.connuser = "bob";
  app_.settings.connpass = "secret";
  const std::string entry = "step-delay 1\nentry ISP\nuser alice\npassword old\n";
  for (bool windows2000 : {true, false}) {
    // Down again, with the old credentials.
    WriteControl(entry + "drop ISP\n");
    Open({"", windows2000});
    RunUntilDestroyed(10000);
    host_.closes.clear();
  }
  const auto writes = LogLines("RasSetEntryDialParamsA ");
  ASSERT_EQ(writes.size(), 2u);  // user name, then password; only on the older system
  EXPECT_THAT(writes[0], HasSubstr("user=\"bob\""));
  EXPECT_THAT(LogLines("RasDialA ").back(), HasSubstr("user=\"bob\""));
  EXPECT_THAT(LogLines("RasDialA ").front(), HasSubstr("user=\"alice\""));
}

class ReconnectDestroyedInCall : public ReconnectWindowTest {
 protected:
  ReconnectDestroyedInCall() : ReconnectWindowTest(HostMode::kDestroyInCall) {}
};
class ReconnectDestroyedByMessage : public ReconnectWindowTest {
 protected:
  ReconnectDestroyedByMessage() : ReconnectWindowTest(HostMode::kDestroyByPostedMessage) {}
};

#define RECONNECT_WINDOW_TEST(name, body)     \
  TEST_F(ReconnectDestroyedInCall, name) {    \
    body();                                   \
  }                                           \
  TEST_F(ReconnectDestroyedByMessage, name) { \
    body();                                   \
  }

RECONNECT_WINDOW_TEST(AFailingDialIsRetriedUntilItConnects, RetriedUntilItConnects)
RECONNECT_WINDOW_TEST(CancelDuringTheCountdownStopsDialing, CancelDuringTheCountdown)
RECONNECT_WINDOW_TEST(TheCloseBoxDuringADialHangsItUp, CloseBoxDuringADial)
RECONNECT_WINDOW_TEST(CredentialsAreWrittenOnlyOnOlderSystems, CredentialsOnlyOnOlderSystems)

// The program ends while the window dials: the loop unwinds, the window stays
// until the host goes, and its component hears nothing after it is destroyed.
TEST_F(ReconnectDestroyedInCall, QuittingEndsTheLoopAndLeavesTheWindowToTheHost) {
  WriteControl("step-delay 100\nentry ISP\n");
  on_status_ = [&](const std::string& text) {
    if (text != kDialingText && !Quitting()) PostQuitMessage(0);
  };
  Open();
  const bool ended = PumpUntil(
      [&] { return host_.reconnect->Loop().LastOutcome() != ReconnectLoop::Outcome::kNotRun; },
      10000);
  ResetMessageLoopState();
  ASSERT_TRUE(ended);
  EXPECT_EQ(host_.reconnect->Loop().LastOutcome(), ReconnectLoop::Outcome::kQuitting);
  EXPECT_TRUE(IsWindow(host_.reconnect->hwnd()));
  EXPECT_TRUE(host_.closes.empty());
  EXPECT_EQ(Count("RasDialA "), 1u);
  host_.reconnect.reset();
  // The dial goes on in RAS; its reports find no window.
  PumpUntil([&] { return Count("connected ") == 1; }, 5000);
  PumpUntil([] { return false; }, 200);
  EXPECT_EQ(watch_.reconnect_holdoff, 0);
}

// The service's own time stamp (at=<ms>) of a log line.
ULONGLONG At(const std::string& line) {
  const size_t at = line.rfind(" at=");
  return at == std::string::npos ? 0 : std::stoull(line.substr(at + 4));
}

// Progress comes 40 ms apart: "Connected" must reach the window as it comes, and
// the window close half a second later.
TEST_F(ReconnectDestroyedInCall, ClosesHalfASecondAfterTheServiceReportsConnected) {
  WriteControl("step-delay 40\nhangup-delay 0\nentry ISP\n");
  Open();
  RunUntilDestroyed(10000);
  ASSERT_EQ(host_.closes, std::vector<bool>{true});
  const auto connected = LogLines("connected entry=\"ISP\"");
  ASSERT_EQ(connected.size(), 1u);
  const ULONGLONG after = host_.closed_at_ms - At(connected[0]);
  EXPECT_GE(after, 500u);
  EXPECT_LE(after, 800u);
  EXPECT_EQ(statuses_.back(), kConnectedText);
  std::printf("closed %llu ms after the service's Connected\n", after);
}

// From the second attempt on, the dial first hangs up the failed attempt's
// handle, and RAS takes seconds to let it go: a Cancel inside that wait must
// not be followed by a dial.
TEST_F(ReconnectDestroyedInCall, CancelDuringTheNextAttemptsHangUpDialsNoMore) {
  WriteControl("step-delay 1\nhangup-delay 3000\nentry ISP\noutcome fail 678 at 2\n");
  bool clicked = false;
  bool released_at_click = true;
  pump_.hook = [&] {
    Watch();
    if (clicked || !host_.reconnect) return;
    // A hang-up of a handle that was dialed: the second attempt has begun.
    for (const std::string& line : LogLines("RasHangUpA ")) {
      if (line.find("result=0") == std::string::npos) continue;
      released_at_click = !LogLines("released ").empty();
      PostMessageA(host_.reconnect->Button1(), BM_CLICK, 0, 0);
      clicked = true;
      break;
    }
  };
  Open();
  RunUntilDestroyed(15000);
  ASSERT_TRUE(clicked);
  EXPECT_FALSE(released_at_click);  // the click came inside the hang-up's wait
  EXPECT_EQ(host_.closes, std::vector<bool>{false});
  // Long enough for a dial that started anyway to show in the log.
  PumpUntil([] { return false; }, 4000);
  EXPECT_EQ(Count("RasDialA "), 1u) << ReadLog();
  EXPECT_EQ(watch_.reconnect_holdoff, kReconnectHoldoffTicks);
}

// The window as it opens, before its timer fires.
class ReconnectLayoutTest : public testing::RassimTest {};

TEST_F(ReconnectLayoutTest, OpensMinimizedWithItsOwnTaskbarButtonAndTheGivenLayout) {
  Application app;
  WatchState watch;
  Win32PumpingSleeper pump;
  Win32Clock clock;
  TestHost host(HostMode::kDestroyInCall);
  const HWND main = CreateWindowExA(0, "STATIC", "main", WS_OVERLAPPEDWINDOW, 100, 120, 440, 385,
                                    nullptr, nullptr, nullptr, nullptr);
  auto window =
      OpenReconnectWindow(app, watch, host, pump, clock, main, {kScheduledDialMessage, true});
  DestroyWindow(main);
  ASSERT_NE(window, nullptr);
  const HWND hwnd = window->hwnd();
  char class_name[64] = {};
  GetClassNameA(hwnd, class_name, sizeof(class_name));
  EXPECT_STREQ(class_name, kReconnectingWindowClass);
  EXPECT_EQ(Text(hwnd), "Dialing Internet Connection");
  EXPECT_TRUE(IsIconic(hwnd));
  const LONG style = GetWindowLongA(hwnd, GWL_STYLE);
  const LONG ex_style = GetWindowLongA(hwnd, GWL_EXSTYLE);
  EXPECT_TRUE(ex_style & WS_EX_APPWINDOW);
  EXPECT_TRUE(ex_style & WS_EX_DLGMODALFRAME);
  EXPECT_EQ(style & WS_CAPTION, WS_CAPTION);
  EXPECT_FALSE(style & (WS_THICKFRAME | WS_MAXIMIZEBOX | WS_CHILD));
  EXPECT_EQ(GetWindow(hwnd, GW_OWNER), nullptr);
  ASSERT_NE(window->Timer1(), nullptr);
  EXPECT_TRUE(window->Timer1()->Enabled());
  EXPECT_EQ(window->Timer1()->Interval(), 1000u);

  ShowWindow(hwnd, SW_SHOWNOACTIVATE);
  HDC screen = GetDC(nullptr);
  const int dpi = GetDeviceCaps(screen, LOGPIXELSY);
  ReleaseDC(nullptr, screen);
  auto px = [&](int v) { return MulDiv(v, dpi, 96); };
  RECT client{};
  GetClientRect(hwnd, &client);
  EXPECT_EQ(client.right, px(311));
  EXPECT_EQ(client.bottom, px(110));
  RECT outer{};
  GetWindowRect(hwnd, &outer);
  const WindowRect expected =
      PlaceDialogOver({100, 120, 440, 385}, outer.right - outer.left, outer.bottom - outer.top,
                      {GetSystemMetrics(SM_CXSCREEN), GetSystemMetrics(SM_CYSCREEN)});
  EXPECT_EQ(outer.left, expected.left);
  EXPECT_EQ(outer.top, expected.top);

  struct Child {
    HWND hwnd;
    int id;
    const char* text;
    RECT at;  // left, top, width, height in 96-DPI pixels
    bool bold;
  };
  for (const Child& c :
       {Child{window->Label1(), kReconnectingLabel1, kScheduledDialMessage, {8, 8, 300, 38}, false},
        Child{window->Label2(), kReconnectingLabel2, "Status:", {8, 48, 40, 16}, true},
        Child{window->teStatus(),
              kReconnectingStatus,
              "Dialing Connection...",
              {50, 48, 255, 25},
              false},
        Child{window->Button1(), kReconnectingButton1, "Cancel", {112, 80, 105, 25}, false}}) {
    EXPECT_EQ(GetDlgItem(hwnd, c.id), c.hwnd);
    EXPECT_EQ(Text(c.hwnd), c.text);
    RECT r{};
    GetWindowRect(c.hwnd, &r);
    MapWindowPoints(nullptr, hwnd, reinterpret_cast<POINT*>(&r), 2);
    EXPECT_EQ(r.left, px(c.at.left)) << c.text;
    EXPECT_EQ(r.top, px(c.at.top)) << c.text;
    EXPECT_EQ(r.right - r.left, px(c.at.right)) << c.text;
    EXPECT_EQ(r.bottom - r.top, px(c.at.bottom)) << c.text;
    LOGFONTA font{};
    GetObjectA(reinterpret_cast<HFONT>(SendMessageA(c.hwnd, WM_GETFONT, 0, 0)), sizeof(font),
               &font);
    EXPECT_EQ(font.lfWeight >= FW_BOLD, c.bold) << c.text;
  }
  char class_of_button[16] = {};
  GetClassNameA(window->Button1(), class_of_button, sizeof(class_of_button));
  EXPECT_STRCASEEQ(class_of_button, "Button");
}

// Not a check: holds the window up, restored, while it counts down, so that a
// screenshot can be taken of it (TARNWICK_RECONNECT_SHOW_MS).
TEST_F(ReconnectLayoutTest, ShowWhileCountingDown) {
  const char* show_ms = std::getenv("TARNWICK_RECONNECT_SHOW_MS");
  if (show_ms == nullptr) GTEST_SKIP() << "for screenshots only";
  WriteControl("step-delay 1\nentry ISP\noutcome fail 678 at 2\n");
  Application app;
  app.settings.conname = "ISP";
  app.settings.redelay = 90;
  WatchState watch;
  Win32PumpingSleeper pump;
  Win32Clock clock;
  TestHost host(HostMode::kDestroyInCall);
  host.reconnect = OpenReconnectWindow(app, watch, host, pump, clock, nullptr);
  ShowWindow(host.reconnect->hwnd(), SW_RESTORE);
  const ULONGLONG until = GetTickCount64() + std::strtoul(show_ms, nullptr, 10);
  // The loop runs inside this pump; a timer of this thread ends it by Cancel.
  SetTimer(nullptr, 0, static_cast<UINT>(until - GetTickCount64()),
           [](HWND, UINT, UINT_PTR id, DWORD) {
             KillTimer(nullptr, id);
             PostMessageA(FindWindowA(kReconnectingWindowClass, nullptr), WM_CLOSE, 0, 0);
           });
  PumpUntil([&] { return host.reconnect == nullptr; }, 600000);
}

}  // namespace
}  // namespace tarnwick
