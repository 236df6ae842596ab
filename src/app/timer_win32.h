#pragma once
// A window timer with the two properties the windows use: Enabled and Interval.
// Enabling, or changing the interval of an enabled timer, restarts its count.
#include <windows.h>

#include "app/timer.h"

namespace tarnwick {

class Timer : public TimerControl {
 public:
  Timer(HWND owner, UINT_PTR id, UINT interval_ms) : owner_(owner), id_(id), interval_(interval_ms) {}
  ~Timer() override { Stop(); }
  Timer(const Timer&) = delete;
  Timer& operator=(const Timer&) = delete;

  bool Enabled() const override { return enabled_; }
  UINT Interval() const override { return interval_; }
  UINT_PTR Id() const { return id_; }

  void SetEnabled(bool enabled) override {
    if (enabled) {
      Start();
    } else {
      Stop();
    }
  }

  void SetInterval(UINT interval_ms) override {
    interval_ = interval_ms;
    if (enabled_) Start();
  }

 private:
  void Start() {
    enabled_ = owner_ && interval_ > 0 && SetTimer(owner_, id_, interval_, nullptr) != 0;
  }
  void Stop() {
    if (enabled_ && owner_) KillTimer(owner_, id_);
    enabled_ = false;
  }

  HWND owner_;
  UINT_PTR id_;
  UINT interval_;
  bool enabled_ = false;
};

}  // namespace tarnwick
