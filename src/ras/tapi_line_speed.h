#pragma once
// The rate of the active call on a named telephony line (the line speed on NT 4,
// where the RAS counters carry no speed).
#include <cstdint>
#include <optional>
#include <string>

#include "ras/statistics_sources.h"

namespace tarnwick {

inline constexpr char kTapiAppName[] = "RasBaud";
inline constexpr uint32_t kTapiVersionLow = 0x10003;   // 1.3
inline constexpr uint32_t kTapiVersionHigh = 0x20000;  // 2.0

// Runs one telephony session. `heldCall` is the call found by an earlier run
// (process-wide): the line search runs only while none is held. Returns whether a
// call is held at the end; `speed` is its rate, or 0.
bool GetTapiLineSpeed(Telephony& tapi, std::optional<TapiCallHandle>& heldCall,
                      const std::string& deviceName, uint32_t& speed);

}  // namespace tarnwick
