#include "notify/throughput.h"

#include <cmath>

namespace tarnwick {

std::string KilobytesText(uint32_t value, char decimal) {
  const float kilobytes = static_cast<float>(value) / 1024.0f;
  // The float is exact in double, and so is ten times it (24 + 4 bits), so the
  // rounding below sees the true value: 1.25 gives 1.3, not the 1.2 of printf.
  const auto tenths = static_cast<uint64_t>(std::floor(static_cast<double>(kilobytes) * 10 + 0.5));
  return std::to_string(tenths / 10) + decimal + std::to_string(tenths % 10);
}

std::optional<std::string> ThroughputText(uint32_t current, uint32_t previous,
                                          const NumberFormat& format) {
  if (current == 0 || previous == 0) return std::nullopt;
  if (current == previous) return std::string("0 bps");
  if (current < previous) return std::nullopt;
  const uint32_t moved = current - previous;
  if (moved <= 1024) return std::to_string(moved) + " bps";
  return KilobytesText(moved, format.decimal) + " Kb/s";
}

}  // namespace tarnwick
