// benchctl: the measuring side of `make bench`, run under Wine next to the
// program it measures. Prints one JSON object on stdout.
//   benchctl probe CLASS DURATION_MS [PERIOD_MS]
//       Sends the window of CLASS a message every PERIOD_MS (default 10) for
//       DURATION_MS and records how long each takes to be answered.
//   benchctl start-to-tray CLASS ICON_ID TIMEOUT_MS COMMAND_LINE
//       Starts COMMAND_LINE and times, from just before CreateProcess, the first
//       window of CLASS and the moment the shell holds its icon ICON_ID. The
//       process is left running.
//   benchctl hold SECONDS
//       Keeps a window (and so Wine's desktop) for SECONDS without waking up in
//       between, so that it adds nothing to the idle figures.
//   benchctl dismiss-owned CLASS
//       Sends Cancel to the visible windows that the window of CLASS owns (what a
//       start puts over the main window, such as a splash).
// Exit code 0 on success, 1 when the window or the icon never came, 2 on usage.
#include <windows.h>
#include <shellapi.h>

#include <algorithm>
#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <string>
#include <vector>

#include "bench_clock.h"

namespace {

double NowMs() { return PerformanceMs(); }

double Percentile(std::vector<double> sorted, double p) {
  if (sorted.empty()) return 0;
  std::sort(sorted.begin(), sorted.end());
  const size_t index = static_cast<size_t>(p * static_cast<double>(sorted.size() - 1) + 0.5);
  return sorted[std::min(index, sorted.size() - 1)];
}

int Probe(const char* window_class, double duration_ms, double period_ms) {
  HWND window = FindWindowA(window_class, nullptr);
  if (!window) {
    std::printf("{\"error\": \"no window of class %s\"}\n", window_class);
    return 1;
  }
  std::vector<double> answers;
  answers.reserve(static_cast<size_t>(duration_ms / period_ms) + 16);
  double slowest = -1, slowest_at = 0;
  int timeouts = 0;
  int skipped = 0;
  bool gone = false;
  const double start = NowMs();
  double next = start;
  while (next - start < duration_ms) {
    // Past the end of the probe a window that does not answer is still waited
    // for a second, so that one that never answers shows as such.
    const double left = duration_ms - (next - start);
    const UINT timeout = static_cast<UINT>(left) + 1000;
    const double sent = NowMs();
    DWORD_PTR result = 0;
    const LRESULT ok =
        SendMessageTimeoutA(window, WM_NULL, 0, 0, SMTO_NORMAL, timeout, &result);
    const double answered = NowMs();
    if (!ok) {
      if (!IsWindow(window)) {
        gone = true;
        break;
      }
      ++timeouts;
    }
    const double took = answered - sent;
    if (took > slowest) {
      slowest = took;
      slowest_at = sent - start;
    }
    answers.push_back(took);
    // The next slot of the 10 ms grid; slots that passed while waiting are skipped.
    next += period_ms;
    const double now = NowMs();
    if (now > next) {
      const double behind = std::floor((now - next) / period_ms) + 1;
      skipped += static_cast<int>(behind);
      next += behind * period_ms;
    }
    while (NowMs() < next) Sleep(1);
  }
  std::printf(
      "{\"samples\": %zu, \"max_ms\": %.3f, \"p99_ms\": %.3f, \"median_ms\": %.3f, "
      "\"slowest_at_ms\": %.1f, \"timeouts\": %d, \"skipped_slots\": %d, \"gone\": %s, "
      "\"span_ms\": %.1f}\n",
      answers.size(), std::max(slowest, 0.0), Percentile(answers, 0.99), Percentile(answers, 0.5), slowest_at,
      timeouts, skipped, gone ? "true" : "false", NowMs() - start);
  return answers.empty() ? 1 : 0;
}

// True when the shell holds icon `id` of `owner`: modifying nothing succeeds only then.
bool ShellHoldsIcon(HWND owner, UINT id) {
  NOTIFYICONDATAA data{};
  data.cbSize = NOTIFYICONDATAA_V1_SIZE;
  data.hWnd = owner;
  data.uID = id;
  data.uFlags = 0;
  return Shell_NotifyIconA(NIM_MODIFY, &data) != FALSE;
}

int StartToTray(const char* window_class, UINT icon_id, double timeout_ms,
                const std::string& command_line) {
  if (FindWindowA(window_class, nullptr)) {
    std::printf("{\"error\": \"a window of class %s is already there\"}\n", window_class);
    return 1;
  }
  STARTUPINFOA startup{};
  startup.cb = sizeof startup;
  PROCESS_INFORMATION process{};
  std::string mutable_line = command_line;
  const double start = NowMs();
  if (!CreateProcessA(nullptr, mutable_line.data(), nullptr, nullptr, FALSE, 0, nullptr, nullptr,
                      &startup, &process)) {
    std::printf("{\"error\": \"CreateProcess failed: %lu\"}\n", GetLastError());
    return 1;
  }
  CloseHandle(process.hThread);
  HWND window = nullptr;
  double window_ms = -1, tray_ms = -1;
  while (NowMs() - start < timeout_ms) {
    if (!window) {
      window = FindWindowA(window_class, nullptr);
      if (window) window_ms = NowMs() - start;
    }
    if (window && ShellHoldsIcon(window, icon_id)) {
      tray_ms = NowMs() - start;
      break;
    }
    if (WaitForSingleObject(process.hProcess, 0) == WAIT_OBJECT_0) break;
    Sleep(1);
  }
  CloseHandle(process.hProcess);
  std::printf("{\"window_ms\": %.3f, \"tray_ms\": %.3f, \"pid\": %lu}\n", window_ms, tray_ms,
              process.dwProcessId);
  return tray_ms >= 0 ? 0 : 1;
}

int DismissOwned(const char* window_class) {
  struct Search {
    HWND owner;
    int dismissed;
  } search{FindWindowA(window_class, nullptr), 0};
  if (!search.owner) return 1;
  EnumWindows(
      [](HWND window, LPARAM param) -> BOOL {
        auto* s = reinterpret_cast<Search*>(param);
        if (GetWindow(window, GW_OWNER) == s->owner && IsWindowVisible(window)) {
          PostMessageA(window, WM_COMMAND, IDCANCEL, 0);
          ++s->dismissed;
        }
        return TRUE;
      },
      reinterpret_cast<LPARAM>(&search));
  std::printf("{\"dismissed\": %d}\n", search.dismissed);
  return 0;
}

int Hold(double seconds) {
  CreateWindowExA(0, "STATIC", "benchctl hold", 0, 0, 0, 0, 0, nullptr, nullptr, nullptr, nullptr);
  SetTimer(nullptr, 0, static_cast<UINT>(seconds * 1000), nullptr);
  MSG msg;
  while (GetMessageA(&msg, nullptr, 0, 0) > 0) {
    if (msg.message == WM_TIMER) break;
    DispatchMessageA(&msg);
  }
  return 0;
}

int Usage() {
  std::fputs(
      "usage: benchctl probe CLASS DURATION_MS [PERIOD_MS]\n"
      "       benchctl start-to-tray CLASS ICON_ID TIMEOUT_MS COMMAND_LINE\n"
      "       benchctl hold SECONDS\n"
      "       benchctl dismiss-owned CLASS\n",
      stderr);
  return 2;
}

}  // namespace

int main(int argc, char** argv) {
  if (argc < 3) return Usage();
  const std::string command = argv[1];
  if (command == "dismiss-owned") return DismissOwned(argv[2]);
  if (command == "hold") return Hold(std::strtod(argv[2], nullptr));
  if (command == "probe" && argc >= 4) {
    const double period = argc >= 5 ? std::strtod(argv[4], nullptr) : 10.0;
    if (period <= 0) return Usage();
    return Probe(argv[2], std::strtod(argv[3], nullptr), period);
  }
  if (command == "start-to-tray" && argc >= 6) {
    std::string line;
    for (int i = 5; i < argc; ++i) {
      if (i > 5) line += ' ';
      line += std::string("\"") + argv[i] + "\"";
    }
    return StartToTray(argv[2], static_cast<UINT>(std::strtoul(argv[3], nullptr, 0)),
                       std::strtod(argv[4], nullptr), line);
  }
  return Usage();
}
