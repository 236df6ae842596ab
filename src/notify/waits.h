#pragma once
// Waiting on the user-interface thread without freezing it: sleep slices with
// window-message processing between them. Behind interfaces so that tests run
// the waits in virtual time.
#include <cstdint>

#include "app/waits.h"

namespace tarnwick {

// Slice lengths of the waits.
inline constexpr int kSleepSliceMs = 100;
inline constexpr int kPickupSliceMs = 50;
inline constexpr int kPickupPasses = 101;

// Longest pause of a sleep step; the editor accepts 1 to 300 seconds.
inline constexpr int32_t kMaxSleepSeconds = 300;

// Pauses `seconds` seconds in 100 ms slices, processing messages after each
// slice. Nothing happens for 0 or less; a stored value above the editor's
// range pauses kMaxSleepSeconds; a quit request ends it early.
void PumpingSleep(int32_t seconds, PumpingSleeper& pump);

}  // namespace tarnwick
