#pragma once
// Virtual time and a scripted RAS component for the reconnect loop's tests.
#include <algorithm>
#include <functional>
#include <map>
#include <memory>
#include <string>
#include <vector>

#include "ras/ras_types.h"
#include "ras/reconnect_loop.h"

namespace tarnwick::testing {

// The clock and the pumping sleeper in one: Sleep moves the clock, and
// ProcessMessages runs the actions that have come due (the "messages").
class VirtualTime : public Clock, public PumpingSleeper {
 public:
  uint64_t NowMs() const override { return now; }
  void Sleep(int ms) override { now += static_cast<uint64_t>(ms); }
  void ProcessMessages() override {
    while (!due_.empty() && due_.begin()->first <= now) {
      auto action = std::move(due_.begin()->second);
      due_.erase(due_.begin());
      action();
    }
  }
  bool Quitting() const override { return quitting; }
  void After(uint64_t ms, std::function<void()> action) {
    due_.emplace(now + ms, std::move(action));
  }

  uint64_t now = 0;
  bool quitting = false;

 private:
  std::multimap<uint64_t, std::function<void()>> due_;
};

// How one dial ends.
enum class DialEnd { kConnect, kFail, kCannotStart, kSilent };

inline constexpr int kFakeFailError = 678;
inline constexpr const char* kFakeFailText = "The remote computer did not respond.";
inline constexpr uint64_t kFakeDialMs = 600;  // from Dial to its last report

// The window's RAS component: reports "Opening port" and then the outcome of
// the script (the last entry repeats). A hang-up drops reports still due and,
// like the component's, waits for RAS while processing messages; Dial hangs up
// first and then asks the loop whether it may still dial, as the component does.
class ScriptedDialer : public ReconnectDialer {
 public:
  explicit ScriptedDialer(VirtualTime& time) : time_(time) {}

  void SetEntry(const std::string& entry) override { calls.push_back("SetEntry " + entry); }
  int HangUp() override {
    calls.push_back("HangUp");
    hang_up_times.push_back(time_.now);
    ++generation_;
    if (!dial_times.empty()) time_.Sleep(static_cast<int>(hang_up_ms));
    time_.ProcessMessages();
    return 0;
  }
  int SetEntryUserName(const std::string& user_name) override {
    calls.push_back("SetEntryUserName " + user_name);
    return 0;
  }
  int SetEntryPassword(const std::string& password) override {
    calls.push_back("SetEntryPassword " + password);
    return 0;
  }
  int Dial() override {
    HangUp();  // as the component does
    if (asks_before_dialing && loop != nullptr && loop->Stopping()) return kDialCancelled;
    calls.push_back("Dial");
    dial_times.push_back(time_.now);
    const DialEnd end =
        script.empty() ? DialEnd::kFail : script[std::min(dial_times.size(), script.size()) - 1];
    if (end == DialEnd::kCannotStart) {
      loop->DialUp1Error();
      return 623;
    }
    const int generation = generation_;
    Report(generation, 300, kRasStateOpenPort, 0, "Opening port");
    if (end == DialEnd::kConnect) Report(generation, kFakeDialMs, 0x2000, 0, "Connected");
    if (end == DialEnd::kFail) {
      Report(generation, kFakeDialMs, kRasStateConnectDevice, kFakeFailError, kFakeFailText);
    }
    return 0;
  }
  int Dials() const { return static_cast<int>(dial_times.size()); }

  static constexpr int kDialCancelled = 1223;

  ReconnectLoop* loop = nullptr;
  std::vector<DialEnd> script;
  uint64_t hang_up_ms = 0;  // until RAS lets a dialed handle go
  bool asks_before_dialing = true;
  std::vector<std::string> calls;
  std::vector<uint64_t> dial_times;
  std::vector<uint64_t> hang_up_times;
  // When the last report of each dial was delivered.
  std::vector<uint64_t> end_times;

 private:
  void Report(int generation, uint64_t after, int state, int error, std::string text) {
    time_.After(after, [this, generation, state, error, text] {
      if (generation != generation_ || loop == nullptr) return;
      if (state == 0x2000 || error != 0) end_times.push_back(time_.now);
      loop->DialUp1AsyncEvent(state, error, text);
    });
  }

  VirtualTime& time_;
  int generation_ = 0;
};

struct StatusLine {
  uint64_t at;
  std::string text;
};

class RecordingView : public ReconnectView {
 public:
  explicit RecordingView(VirtualTime& time) : time_(time) {}
  void SetStatusText(const std::string& text) override { lines.push_back({time_.now, text}); }
  void StopTimer() override { ++timer_stops; }
  void HideWindow() override {
    hidden = true;
    hidden_at = time_.now;
  }
  std::vector<std::string> Texts() const {
    std::vector<std::string> texts;
    for (const auto& line : lines) texts.push_back(line.text);
    return texts;
  }

  std::vector<StatusLine> lines;
  int timer_stops = 0;
  bool hidden = false;
  uint64_t hidden_at = 0;

 private:
  VirtualTime& time_;
};

class RecordingHost : public ReconnectHost {
 public:
  void ReconnectWindowClosed(bool connected) override {
    closes.push_back(connected);
    if (on_close) on_close();
  }
  std::vector<bool> closes;
  std::function<void()> on_close;
};

}  // namespace tarnwick::testing
