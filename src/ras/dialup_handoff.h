#pragma once
// The hand-off of asynchronous dial notifications from the RAS thread to the
// user-interface thread.
//
// RAS calls the notifier on a thread of its own. The notifier appends its
// report to the pending list and wakes the user-interface thread (Post); it
// does not wait for the user-interface thread, which takes the pending reports
// only between its message-processing passes: a notifier held there would let
// the reports of a quick dial trail the dial by seconds. Only when a bounded
// backlog is full does it wait (with a bound). The user-interface thread takes
// everything pending at each tick (Collect) and raises every event it holds, in
// order and one at a time (DeliverPending); a tick that runs inside a handler's
// message processing collects but does not deliver, so events never nest.
#include <chrono>
#include <condition_variable>
#include <cstddef>
#include <deque>
#include <functional>
#include <mutex>
#include <optional>

namespace tarnwick {

struct DialNotification {
  int state = 0;
  int error = 0;
  bool operator==(const DialNotification&) const = default;
};

class DialHandoff {
 public:
  // Reports a dial makes are a few dozen; a backlog this long means the
  // user-interface thread is stuck, and the notifier then waits.
  static constexpr size_t kMaxPending = 256;

  // RAS thread. Appends the report; waits up to `bound` only while the backlog
  // is full. Returns false when it was not handed over: the hand-off is closed,
  // or the backlog stayed full.
  bool Post(DialNotification notification, std::chrono::milliseconds bound);

  // User-interface thread: moves every pending report into the delivery queue.
  void Collect();

  // User-interface thread: raises every queued report in order, collecting
  // those that arrive meanwhile, unless a delivery is under way further up the
  // stack (then nothing: events never nest). Stops once the hand-off is closed
  // (a handler destroyed the component).
  void DeliverPending(const std::function<void(const DialNotification&)>& raise);

  // The next notification to raise, unless one is being raised already.
  std::optional<DialNotification> BeginDelivery();
  void EndDelivery();

  // Whether a tick still has something to do (reports pending or queued).
  bool HasWork() const;
  bool Delivering() const;
  bool Closed() const;

  // The component is going away: waiting and later notifiers give up at once.
  void Close();

 private:
  mutable std::mutex mutex_;
  std::condition_variable room_;
  std::deque<DialNotification> pending_;  // posted, not yet collected
  std::deque<DialNotification> queue_;    // collected, not yet raised
  bool delivering_ = false;
  bool closed_ = false;
};

}  // namespace tarnwick
