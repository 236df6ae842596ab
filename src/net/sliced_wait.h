#pragma once
// The waits of the user-interface thread for the network (a raw socket, a name
// lookup), cut into slices so that the window keeps processing messages while
// they last.
#include <cstdint>
#include <functional>

namespace tarnwick::net {

inline constexpr int kWaitSliceMs = 100;

struct SlicedWait {
  std::function<uint64_t()> now_ms;         // monotonic clock
  std::function<bool(int slice_ms)> ready;  // waits at most slice_ms; true when ready
  std::function<void()> pump;               // processes pending window messages
  std::function<bool()> quitting;           // optional: ends the wait early
};

// Waits until `ready` reports true or `timeout_ms` has passed on `now_ms`, with
// slices of at most kWaitSliceMs and `pump` between them. Returns whether ready.
bool WaitInSlices(const SlicedWait& wait, int timeout_ms);

}  // namespace tarnwick::net
