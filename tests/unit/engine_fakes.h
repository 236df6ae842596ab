#pragma once
// Virtual time for the engines' tests: a timer that records its restarts and a
// pumping sleeper whose sleep advances the clock and whose message processing
// runs what a test wants to happen inside a wait.
#include <cstdint>
#include <functional>

#include "app/timer.h"
#include "app/waits.h"

namespace tarnwick::testing {

struct VirtualTime {
  int64_t now_ms = 0;
};

class VirtualTimer : public TimerControl {
 public:
  bool Enabled() const override { return enabled; }
  unsigned Interval() const override { return interval; }
  void SetEnabled(bool on) override {
    enabled = on && interval > 0;
    if (enabled) ++starts;
  }
  void SetInterval(unsigned ms) override {
    interval = ms;
    if (enabled) ++starts;
  }

  bool enabled = false;
  unsigned interval = 0;
  int starts = 0;  // fresh counts begun: enabling, or a new interval while enabled
};

class VirtualPump : public PumpingSleeper {
 public:
  explicit VirtualPump(VirtualTime& time) : time_(time) {}
  void Sleep(int ms) override { time_.now_ms += ms; }
  void ProcessMessages() override {
    ++pumps;
    if (on_pump) on_pump();
  }
  bool Quitting() const override { return quitting; }

  std::function<void()> on_pump;
  int pumps = 0;
  bool quitting = false;

 private:
  VirtualTime& time_;
};

}  // namespace tarnwick::testing
