#pragma once
// Virtual-time and recording doubles for the notification tests.
#include <cstdint>
#include <functional>
#include <map>
#include <stdexcept>
#include <string>
#include <vector>

#include "app/error.h"
#include "notify/script.h"
#include "notify/steps.h"
#include "notify/waits.h"

namespace tarnwick::test {

// Sleep advances a virtual clock; ProcessMessages counts and runs `on_messages`,
// which stands for whatever window messages arrive at that moment.
class FakePump : public PumpingSleeper, public Clock {
 public:
  void Sleep(int ms) override {
    now_ms += static_cast<uint64_t>(ms);
    ++sleeps;
    log.push_back('S');
  }
  void ProcessMessages() override {
    ++pumps;
    log.push_back('P');
    if (on_messages) on_messages();
  }
  bool Quitting() const override { return quitting; }
  uint64_t NowMs() const override { return now_ms; }

  uint64_t now_ms = 1'000'000;
  int sleeps = 0;
  int pumps = 0;
  bool quitting = false;
  std::string log;  // S and P in call order
  std::function<void()> on_messages;
};

class RecordingShell : public ShellLauncher {
 public:
  struct Call {
    std::string file;
    std::string parameters;
  };
  void Open(const std::string& file, const std::string& parameters) override {
    calls.push_back({file, parameters});
  }
  std::vector<Call> calls;
};

// Records each dispatched step as "<kind letter><position>@<address>" (M mail,
// U upload, L launch, Z sleep); `before_step` runs first and may throw.
class RecordingExecutor : public StepExecutor {
 public:
  void SendRMail(int position, const Notif& step, const std::string& address) override {
    Record('M', position, step, address);
  }
  void UploadRFile(int position, const Notif& step, const std::string& address) override {
    Record('U', position, step, address);
  }
  void Launch(int position, const Notif& step) override { Record('L', position, step, ""); }
  void Sleep(int position, const Notif& step) override { Record('Z', position, step, ""); }

  std::vector<std::string> calls;
  std::vector<Notif> seen;
  std::function<void(int position, const Notif& step)> before_step;

 private:
  void Record(char kind, int position, const Notif& step, const std::string& address) {
    if (before_step) before_step(position, step);
    calls.push_back(kind + std::to_string(position) + "@" + address);
    seen.push_back(step);
  }
};

inline Notif StepOfKind(uint8_t kind) {
  Notif step;
  step.NotifyMethod = kind;
  return step;
}

}  // namespace tarnwick::test
