#pragma once
// Waiting on the user-interface thread without freezing it: sleep slices with
// window-message processing between them. Behind interfaces so that tests run
// the waits in virtual time.
#include <cstdint>
#include <functional>

namespace tarnwick {

class PumpingSleeper {
 public:
  virtual ~PumpingSleeper() = default;
  // Blocks the thread for `ms` milliseconds.
  virtual void Sleep(int ms) = 0;
  // Dispatches the pending window messages, then returns. Handlers of any
  // window may run inside it. A quit request is kept for the outer loop.
  virtual void ProcessMessages() = 0;
  // The program is ending: waits stop early and start nothing new.
  virtual bool Quitting() const = 0;
};

// Milliseconds from a fixed, monotonic origin.
class Clock {
 public:
  virtual ~Clock() = default;
  virtual uint64_t NowMs() const = 0;
};

// Waits until `done` in at most `passes` passes: each pass tests it, then
// processes messages and sleeps `slice_ms`. It is tested once more after the
// last pass. Returns whether it came true; returns false at once when the
// program is quitting.
bool WaitUntil(const std::function<bool()>& done, PumpingSleeper& pump, int passes, int slice_ms);

}  // namespace tarnwick
