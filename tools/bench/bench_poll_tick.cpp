// bench_poll_tick: times the main window's one-second poll (`tmIPCheckTimer`)
// against the simulated RAS service with a connected entry, and, as references,
// the RAS calls the tick makes on their own (in-process under Wine) and its
// timer's restart on its own (two round trips to wineserver, which a busy
// machine may delay). Prints one JSON object.
//   bench_poll_tick [TICKS]        default 2000
// The main window is created over an in-memory registry and stays hidden; the
// simulated RAS service reads a control file of its own under %TEMP%.
#include <windows.h>
#include <ras.h>

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <fstream>
#include <functional>
#include <string>
#include <vector>

#include "app/memory_registry.h"
#include "app/message_box.h"
#include "ui/main_window_win32.h"
#include "bench_clock.h"

namespace {

using tarnwick::Application;
using tarnwick::TMain;

double NowUs() { return PerformanceMs() * 1000.0; }

void Pump() {
  MSG msg;
  while (PeekMessageA(&msg, nullptr, 0, 0, PM_REMOVE)) {
    TranslateMessage(&msg);
    DispatchMessageA(&msg);
  }
}

bool PumpUntil(const std::function<bool()>& done, DWORD timeout_ms) {
  const ULONGLONG deadline = GetTickCount64() + timeout_ms;
  while (!done()) {
    if (GetTickCount64() >= deadline) return false;
    MsgWaitForMultipleObjects(0, nullptr, FALSE, 5, QS_ALLINPUT);
    Pump();
  }
  return true;
}

std::string Text(HWND hwnd) {
  char text[256] = {};
  GetWindowTextA(hwnd, text, sizeof text);
  return text;
}

struct Summary {
  double median, p99, max;
};

Summary Summarise(std::vector<double> times) {
  std::sort(times.begin(), times.end());
  auto at = [&](double p) {
    return times[static_cast<size_t>(p * static_cast<double>(times.size() - 1) + 0.5)];
  };
  return {at(0.5), at(0.99), times.back()};
}

void PrintSummary(const char* name, const Summary& s, bool last) {
  std::printf("\"%s\": {\"median_us\": %.2f, \"p99_us\": %.2f, \"max_us\": %.2f}%s", name,
              s.median, s.p99, s.max, last ? "" : ", ");
}

template <typename Fn>
Fn Ras(const char* name) {
  static HMODULE library = LoadLibraryExA("rasapi32.dll", nullptr, LOAD_LIBRARY_SEARCH_SYSTEM32);
  // Through void*: GetProcAddress's own type is no function type of RAS.
  return library ? reinterpret_cast<Fn>(reinterpret_cast<void*>(GetProcAddress(library, name)))
                 : nullptr;
}

// What the tick asks the RAS service for a connected entry: the connections with
// their states, the address (twice), the statistics.
bool RasCallsOfOneTick() {
  static auto enumerate = Ras<decltype(&RasEnumConnectionsA)>("RasEnumConnectionsA");
  static auto status = Ras<decltype(&RasGetConnectStatusA)>("RasGetConnectStatusA");
  static auto projection = Ras<decltype(&RasGetProjectionInfoA)>("RasGetProjectionInfoA");
  using StatsFn = DWORD(WINAPI*)(HRASCONN, RAS_STATS*);
  static auto statistics = Ras<StatsFn>("RasGetConnectionStatistics");
  if (!enumerate || !status || !projection || !statistics) return false;
  std::vector<RASCONNA> conns(64);
  conns[0].dwSize = sizeof(RASCONNA);
  DWORD bytes = static_cast<DWORD>(conns.size() * sizeof(RASCONNA));
  DWORD count = 0;
  if (enumerate(conns.data(), &bytes, &count) != 0 || count == 0) return false;
  for (DWORD i = 0; i < count; ++i) {
    RASCONNSTATUSA s{};
    s.dwSize = sizeof s;
    status(conns[i].hrasconn, &s);
  }
  for (int i = 0; i < 2; ++i) {
    RASPPPIPA ip{};
    ip.dwSize = sizeof ip;
    DWORD size = sizeof ip;
    projection(conns[0].hrasconn, RASP_PppIp, &ip, &size);
  }
  RAS_STATS stats{};
  stats.dwSize = sizeof stats;
  return statistics(conns[0].hrasconn, &stats) == 0;
}

int Fail(const char* why) {
  std::printf("{\"error\": \"%s\"}\n", why);
  return 1;
}

}  // namespace

int main(int argc, char** argv) {
  const int ticks = argc > 1 ? std::max(100, std::atoi(argv[1])) : 2000;

  char temp[MAX_PATH];
  GetTempPathA(sizeof temp, temp);
  const std::string control = std::string(temp) + "bench-poll-tick-control.txt";
  const std::string log = std::string(temp) + "bench-poll-tick-events.log";
  {
    std::ofstream out(control, std::ios::binary | std::ios::trunc);
    out << "step-delay 1\nentry Office ISDN\nentry Home DSL\nclient-ip 10.64.0.{n}\n"
           "rates 1000 5000\nconnected Home DSL\n";
  }
  SetEnvironmentVariableA("RASSIM_CONTROL", control.c_str());
  SetEnvironmentVariableA("RASSIM_LOG", log.c_str());
  if (!Ras<decltype(&RasDialA)>("RasDialA")) return Fail("the simulated rasapi32.dll is missing");

  // A box would stop the measurement; none is expected.
  int boxes = 0;
  tarnwick::SetMessageBoxHandler([&](const tarnwick::MessageBoxRequest&) {
    ++boxes;
    return static_cast<int>(tarnwick::kAnswerOk);
  });

  tarnwick::MemoryRegistry registry;
  Application app;
  tarnwick::SetDefaultSettings(app.settings);
  app.registry = &registry;
  app.settings.conname = "Home DSL";
  app.settings.MonitorIP = true;
  app.end_process = [] {};
  auto window = std::make_unique<TMain>(app);
  if (!window->Create()) return Fail("the main window was not created");
  HWND address_label = window->Controls().Label10;
  if (!PumpUntil([&] { return !Text(address_label).empty(); }, 10000)) {
    return Fail("the poll never showed the connection's address");
  }

  tarnwick::MainWatch& watch = window->Watch();
  std::vector<double> tick_times, ras_times, timer_times;
  tick_times.reserve(static_cast<size_t>(ticks));
  ras_times.reserve(static_cast<size_t>(ticks));
  timer_times.reserve(static_cast<size_t>(ticks));
  // Warm-up: the first ticks after the address was shown record it.
  for (int i = 0; i < 50; ++i) {
    watch.tmIPCheckTimer();
    Pump();
  }
  for (int i = 0; i < ticks; ++i) {
    const double t0 = NowUs();
    watch.tmIPCheckTimer();
    const double t1 = NowUs();
    if (!RasCallsOfOneTick()) return Fail("the RAS calls of a tick failed");
    const double t2 = NowUs();
    watch.tmIPCheck().SetEnabled(false);
    watch.tmIPCheck().SetEnabled(true);
    const double t3 = NowUs();
    tick_times.push_back(t1 - t0);
    ras_times.push_back(t2 - t1);
    timer_times.push_back(t3 - t2);
    Pump();
  }
  const bool still_connected = !Text(address_label).empty();
  window.reset();
  std::printf("{\"ticks\": %d, ", ticks);
  PrintSummary("tick", Summarise(tick_times), false);
  PrintSummary("ras_calls", Summarise(ras_times), false);
  PrintSummary("timer_restart", Summarise(timer_times), false);
  std::printf("\"message_boxes\": %d, \"connected_throughout\": %s}\n", boxes,
              still_connected ? "true" : "false");
  return boxes == 0 && still_connected ? 0 : 1;
}
