#include "net/sliced_wait.h"

#include <algorithm>

namespace tarnwick::net {

bool WaitInSlices(const SlicedWait& wait, int timeout_ms) {
  const uint64_t start = wait.now_ms();
  const uint64_t deadline = start + static_cast<uint64_t>(std::max(timeout_ms, 0));
  uint64_t own_last_pump = start;
  uint64_t& last_pump = wait.last_pump ? *wait.last_pump : own_last_pump;
  // Messages are processed after every slice that ended empty, and at least
  // once a slice whatever the wait sees.
  bool slice_ended_empty = false;
  while (true) {
    const uint64_t now = wait.now_ms();
    if (slice_ended_empty || now - last_pump >= static_cast<uint64_t>(kWaitSliceMs)) {
      last_pump = now;
      if (wait.pump) wait.pump();
      if (wait.quitting && wait.quitting()) return false;
    }
    const uint64_t until = std::min(deadline, last_pump + kWaitSliceMs);
    if (wait.ready(now >= until ? 0 : static_cast<int>(until - now))) return true;
    if (wait.now_ms() >= deadline) return false;
    slice_ended_empty = true;
  }
}

}  // namespace tarnwick::net
