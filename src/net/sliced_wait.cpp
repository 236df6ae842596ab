#include "net/sliced_wait.h"

#include <algorithm>

namespace tarnwick::net {

bool WaitInSlices(const SlicedWait& wait, int timeout_ms) {
  const uint64_t start = wait.now_ms();
  const uint64_t total = static_cast<uint64_t>(std::max(timeout_ms, 0));
  while (true) {
    uint64_t elapsed = wait.now_ms() - start;
    int slice =
        static_cast<int>(std::min<uint64_t>(kWaitSliceMs, total - std::min(elapsed, total)));
    if (wait.ready(slice)) return true;
    if (wait.now_ms() - start >= total) return false;
    if (wait.pump) wait.pump();
    if (wait.quitting && wait.quitting()) return false;
  }
}

}  // namespace tarnwick::net
