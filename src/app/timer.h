#pragma once
// A timer as the engines use it: Enabled and Interval. Enabling, or changing the
// interval of an enabled timer, restarts its count. The window timer implements
// it (timer_win32.h); tests drive the engines with a virtual one.
namespace tarnwick {

class TimerControl {
 public:
  virtual ~TimerControl() = default;
  virtual bool Enabled() const = 0;
  virtual unsigned Interval() const = 0;
  virtual void SetEnabled(bool enabled) = 0;
  virtual void SetInterval(unsigned interval_ms) = 0;
};

}  // namespace tarnwick
