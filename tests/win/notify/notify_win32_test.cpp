#include <gtest/gtest.h>
#include <windows.h>

#include <fstream>
#include <optional>
#include <sstream>
#include <string>

#include "app/com_win32.h"
#include "app/message_loop_win32.h"
#include "app/text_utils.h"
#include "app/waits_win32.h"
#include "notify/number_format_win32.h"
#include "notify/script.h"
#include "notify/shell_launcher_win32.h"
#include "notify/steps.h"
#include "support/message_box_recorder.h"

namespace tarnwick {
namespace {

constexpr UINT kProbeMessage = WM_APP + 17;

int g_probe_messages = 0;
int g_timer_ticks = 0;

LRESULT CALLBACK ProbeProc(HWND window, UINT message, WPARAM wparam, LPARAM lparam) {
  if (message == kProbeMessage) {
    ++g_probe_messages;
    return 0;
  }
  if (message == WM_TIMER) {
    ++g_timer_ticks;
    return 0;
  }
  return DefWindowProcA(window, message, wparam, lparam);
}

class ProbeWindow {
 public:
  ProbeWindow() {
    WNDCLASSA wc = {};
    wc.lpfnWndProc = ProbeProc;
    wc.hInstance = GetModuleHandleA(nullptr);
    wc.lpszClassName = "TarnwickNotifyProbe";
    RegisterClassA(&wc);
    handle_ = CreateWindowExA(0, wc.lpszClassName, "", 0, 0, 0, 0, 0, HWND_MESSAGE, nullptr,
                              wc.hInstance, nullptr);
  }
  ~ProbeWindow() { DestroyWindow(handle_); }
  HWND get() const { return handle_; }

 private:
  HWND handle_ = nullptr;
};

TEST(PumpingSleeper, DispatchesPendingMessages) {
  ProbeWindow window;
  ASSERT_NE(window.get(), nullptr);
  g_probe_messages = 0;
  for (int i = 0; i < 3; ++i) PostMessageA(window.get(), kProbeMessage, 0, 0);
  Win32PumpingSleeper sleeper;
  sleeper.ProcessMessages();
  EXPECT_EQ(g_probe_messages, 3);
  EXPECT_FALSE(sleeper.Quitting());
}

TEST(PumpingSleeper, KeepsTheQuitRequestForTheOuterLoop) {
  ProbeWindow window;
  g_probe_messages = 0;
  PostQuitMessage(5);
  PostMessageA(window.get(), kProbeMessage, 0, 0);
  Win32PumpingSleeper sleeper;
  sleeper.ProcessMessages();
  EXPECT_TRUE(sleeper.Quitting());
  MSG msg;
  ASSERT_TRUE(PeekMessageA(&msg, nullptr, WM_QUIT, WM_QUIT, PM_REMOVE));
  EXPECT_EQ(msg.wParam, 5u);
  // A wait on a quitting pump returns at once.
  const ULONGLONG start = GetTickCount64();
  PumpingSleep(10, sleeper);
  EXPECT_LT(GetTickCount64() - start, 1000u);
  MSG rest;
  while (PeekMessageA(&rest, nullptr, 0, 0, PM_REMOVE)) DispatchMessageA(&rest);
  ResetMessageLoopState();
}

TEST(PumpingSleeper, TimersFireDuringASleepStep) {
  ProbeWindow window;
  g_timer_ticks = 0;
  ASSERT_NE(SetTimer(window.get(), 1, 100, nullptr), 0u);
  Win32PumpingSleeper sleeper;
  Win32Clock clock;
  const uint64_t start = clock.NowMs();
  Notif step;
  step.NotifyMethod = kNotifySleep;
  step.sseconds = 1;
  SleepStep(step, sleeper);
  const uint64_t elapsed = clock.NowMs() - start;
  KillTimer(window.get(), 1);
  EXPECT_GE(elapsed, 900u);
  EXPECT_LT(elapsed, 5000u);
  EXPECT_GE(g_timer_ticks, 3);
}

std::string ProbeDirectory() {
  char path[MAX_PATH] = {};
  GetModuleFileNameA(nullptr, path, MAX_PATH);
  std::string dir(path);
  return dir.substr(0, dir.find_last_of("\\/") + 1);
}

// Points the probe at a fresh output file and returns its path.
std::string PrepareProbe() {
  const std::string out = ProbeDirectory() + "launch_probe_out.txt";
  DeleteFileA(out.c_str());
  SetEnvironmentVariableA("TARNWICK_PROBE_OUT", out.c_str());
  return out;
}

// The launch does not wait for the program; the test does, with a bound.
bool ReadProbeOutput(const std::string& out, std::string& received) {
  for (int i = 0; i < 200; ++i) {
    std::ifstream file(out, std::ios::binary);
    if (file) {
      std::stringstream text;
      text << file.rdbuf();
      received = text.str();
      file.close();
      DeleteFileA(out.c_str());
      return true;
    }
    Sleep(50);
  }
  return false;
}

Notif ProbeLaunch(const std::string& parameters) {
  Notif step;
  step.NotifyMethod = kNotifyLaunch;
  step.LaunchNotifr.LnchApp = ProbeDirectory() + "notify_launch_probe.exe";
  step.LaunchNotifr.LnchParam = parameters;
  return step;
}

TEST(ShellLauncher, PassesTheParametersAsGivenWithAndWithoutTheProgramsCom) {
  for (bool with_com : {false, true}) {
    SCOPED_TRACE(with_com ? "in the program's COM apartment" : "without COM");
    std::optional<ComApartment> com;
    if (with_com) {
      ASSERT_TRUE(com.emplace().started());
    }
    const std::string out = PrepareProbe();
    Win32ShellLauncher shell;
    LaunchStep(ProbeLaunch("-ip <IPADDRESS> --quiet"), shell);
    std::string received;
    ASSERT_TRUE(ReadProbeOutput(out, received)) << "the probe did not start";
    EXPECT_EQ(received, "-ip <IPADDRESS> --quiet");
  }
}

TEST(ScriptRun, SleepsThenLaunchesWithTheRealShellAndPump) {
  const std::string out = PrepareProbe();
  Win32ShellLauncher shell;
  Win32PumpingSleeper sleeper;
  ScriptSteps steps(shell, sleeper);
  Notif pause;
  pause.NotifyMethod = kNotifySleep;
  pause.sseconds = 1;
  Win32Clock clock;
  const uint64_t start = clock.NowMs();
  EXPECT_EQ(RunScript({pause, ProbeLaunch("<IPADDRESS>")}, "10.1.2.3", steps),
            RunOutcome::kCompleted);
  EXPECT_GE(clock.NowMs() - start, 900u);
  std::string received;
  ASSERT_TRUE(ReadProbeOutput(out, received)) << "the probe did not start";
  EXPECT_EQ(received, "<IPADDRESS>");
}

// The shell's refusal of a launch step is ignored: nothing is shown and the run
// goes on with the next step.
TEST(ScriptRun, AProgramThatIsMissingDoesNotEndTheRun) {
  const std::string out = PrepareProbe();
  testing::MessageBoxRecorder boxes;
  Win32ShellLauncher shell;
  Win32PumpingSleeper sleeper;
  ScriptSteps steps(shell, sleeper);
  Notif missing = ProbeLaunch("");
  missing.LaunchNotifr.LnchApp = ProbeDirectory() + "no_such_program.exe";
  EXPECT_EQ(RunScript({missing, ProbeLaunch("next")}, "10.1.2.3", steps), RunOutcome::kCompleted);
  std::string received;
  ASSERT_TRUE(ReadProbeOutput(out, received)) << "the step after the missing program did not run";
  EXPECT_EQ(received, "next");
  EXPECT_TRUE(boxes.boxes.empty());
}

TEST(UserNumberFormat, MatchesTheLocalesOwnSeparators) {
  const NumberFormat format = UserNumberFormat();
  // The locale's grouping may differ from ours beyond the first group, so only
  // numbers with one group are compared.
  char text[64] = {};
  ASSERT_GT(GetNumberFormatA(LOCALE_USER_DEFAULT, 0, "1234.5", nullptr, text, sizeof text), 0);
  EXPECT_EQ(
      std::string(text).rfind(GroupThousands(1234, format.thousands) + format.decimal + "5", 0), 0u)
      << text;
}

}  // namespace
}  // namespace tarnwick
