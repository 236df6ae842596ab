#pragma once
// The main window against the simulated RAS service, in real time: each test
// starts its own TMain (kept hidden, as in the tray) on settings in memory.
#include <gtest/gtest.h>

#include <memory>
#include <string>

#include "app/memory_registry.h"
#include "app/message_loop_win32.h"
#include "support/message_box_recorder.h"
#include "ui/main_window_win32.h"
#include "win/ras/rassim_fixture.h"

namespace tarnwick::testing {

inline constexpr const char* kPhonebook =
    "step-delay 1\n"
    "hangup-delay 0\n"
    "entry Office ISDN\n"
    "entry Home DSL\n"
    "client-ip 10.64.0.{n}\n"
    "rates 1000 5000\n";

inline std::string Text(HWND hwnd) {
  char text[256] = {};
  GetWindowTextA(hwnd, text, sizeof text);
  return text;
}

class MainWatchTest : public RassimTest {
 public:  // also for the timer callbacks of tests
  void SetUp() override {
    RassimTest::SetUp();
    SetDefaultSettings(app.settings);
    app.registry = &registry;
    app.settings.conname = "Home DSL";
    app.settings.redelay = 1;
    app.settings.maxretries = 2;
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

  std::string Address() const { return Text(window->Controls().Label10); }
  bool ReconnectWindowOpen() const {
    return FindWindowA(kReconnectingWindowClass, nullptr) != nullptr;
  }
  // The main window itself stays hidden in these tests: look at the pictures' own style.
  bool ShowsConnected() const {
    return (GetWindowLongA(window->Controls().Image2, GWL_STYLE) & WS_VISIBLE) != 0 &&
           (GetWindowLongA(window->Controls().Image3, GWL_STYLE) & WS_VISIBLE) == 0;
  }

  Application app;
  MemoryRegistry registry;
  MessageBoxRecorder boxes;
  std::unique_ptr<TMain> window;
};

}  // namespace tarnwick::testing
