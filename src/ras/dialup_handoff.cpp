#include "ras/dialup_handoff.h"

namespace tarnwick {

bool DialHandoff::Post(DialNotification notification, std::chrono::milliseconds bound) {
  std::unique_lock lock(mutex_);
  if (!room_.wait_for(lock, bound, [&] { return closed_ || pending_.size() < kMaxPending; })) {
    return false;
  }
  if (closed_) return false;
  pending_.push_back(notification);
  return true;
}

void DialHandoff::Collect() {
  {
    std::lock_guard lock(mutex_);
    if (pending_.empty()) return;
    queue_.insert(queue_.end(), pending_.begin(), pending_.end());
    pending_.clear();
  }
  room_.notify_all();
}

void DialHandoff::DeliverPending(const std::function<void(const DialNotification&)>& raise) {
  while (auto next = BeginDelivery()) {
    struct End {
      DialHandoff& handoff;
      ~End() { handoff.EndDelivery(); }
    } end{*this};
    raise(*next);
    if (Closed()) return;
    Collect();
  }
}

std::optional<DialNotification> DialHandoff::BeginDelivery() {
  std::lock_guard lock(mutex_);
  if (delivering_ || queue_.empty()) return std::nullopt;
  delivering_ = true;
  DialNotification next = queue_.front();
  queue_.pop_front();
  return next;
}

void DialHandoff::EndDelivery() {
  std::lock_guard lock(mutex_);
  delivering_ = false;
}

bool DialHandoff::HasWork() const {
  std::lock_guard lock(mutex_);
  return !pending_.empty() || !queue_.empty();
}

bool DialHandoff::Delivering() const {
  std::lock_guard lock(mutex_);
  return delivering_;
}

bool DialHandoff::Closed() const {
  std::lock_guard lock(mutex_);
  return closed_;
}

void DialHandoff::Close() {
  {
    std::lock_guard lock(mutex_);
    closed_ = true;
  }
  room_.notify_all();
}

}  // namespace tarnwick
