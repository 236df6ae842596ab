#include "ras/dialup_handoff.h"

namespace tarnwick {

bool DialHandoff::Post(DialNotification notification, std::chrono::milliseconds bound) {
  std::unique_lock lock(mutex_);
  if (!slot_freed_.wait_for(lock, bound, [&] { return closed_ || !slot_.has_value(); })) {
    return false;
  }
  if (closed_) return false;
  slot_ = notification;
  return true;
}

void DialHandoff::Collect() {
  {
    std::lock_guard lock(mutex_);
    if (!slot_) return;
    queue_.push_back(*slot_);
    slot_.reset();
  }
  slot_freed_.notify_all();
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
  return slot_.has_value() || !queue_.empty();
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
  slot_freed_.notify_all();
}

}  // namespace tarnwick
