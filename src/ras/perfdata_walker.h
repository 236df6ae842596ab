#pragma once
// Walks a performance-data block from the system and reports every counter value
// of every counter block. The block is untrusted input: every length and offset
// is checked against the bytes actually present, and every step advances, so the
// walk ends on any input.
#include <cstdint>
#include <functional>
#include <span>

#include "ras/statistics_sources.h"

namespace tarnwick {

enum class PerfWalkStatus {
  kOk,
  kTooShort,         // fewer bytes than a real answer can have
  kNoObjects,        // the block holds no object
  kTooManyCounters,  // an object defines more counters than we accept
  kMalformed,        // a length or offset does not fit the block
  kStopped,          // the message pump asked to stop
};

inline constexpr size_t kPerfMinimumBlock = 100;
inline constexpr uint32_t kPerfMaxCounters = 50;

// Called for each counter of each counter block, in block order. 64-bit counters
// report their low 32 bits, as the byte figures are 32-bit.
using PerfCounterVisitor = std::function<void(uint32_t titleIndex, uint32_t value)>;

// `pump` (may be empty) runs between objects and between counter definitions.
// Counters reported before a failure stay reported.
PerfWalkStatus WalkPerfCounters(std::span<const uint8_t> block, const PerfCounterVisitor& visit,
                                const StatisticsPump& pump);

}  // namespace tarnwick
