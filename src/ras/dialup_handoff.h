#pragma once
// The hand-off of asynchronous dial notifications from the RAS thread to the
// user-interface thread.
//
// RAS calls the notifier on a thread of its own. The notifier waits while the
// one slot is still pending, then fills it and wakes the user-interface thread
// (Post). The user-interface thread takes the slot into its own queue at every
// tick (Collect) and frees it at once, so the RAS thread never waits on an event
// handler: a handler that hangs up and waits for RAS to let go of the connection
// cannot deadlock with a notifier blocked on the slot. Events are then delivered
// from the queue one at a time and in order (BeginDelivery/EndDelivery); a tick
// that runs inside a handler's message processing collects but does not deliver.
#include <chrono>
#include <condition_variable>
#include <deque>
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
  // RAS thread. Waits up to `bound` while the slot is pending, then fills it.
  // Returns false when the notification was not handed over: the hand-off is
  // closed, or the user-interface thread did not take the slot in time.
  bool Post(DialNotification notification, std::chrono::milliseconds bound);

  // User-interface thread: moves a pending slot into the delivery queue and frees it.
  void Collect();

  // User-interface thread: the next notification to raise, unless one is being
  // raised already (then nothing: events never nest).
  std::optional<DialNotification> BeginDelivery();
  void EndDelivery();

  // Whether a tick still has something to do (slot pending or queue non-empty).
  bool HasWork() const;
  bool Delivering() const;
  bool Closed() const;

  // The component is going away: waiting and later notifiers give up at once.
  void Close();

 private:
  mutable std::mutex mutex_;
  std::condition_variable slot_freed_;
  std::optional<DialNotification> slot_;
  std::deque<DialNotification> queue_;
  bool delivering_ = false;
  bool closed_ = false;
};

}  // namespace tarnwick
