#pragma once
// The traffic figures of the main window: grouped counts and the rate of one
// direction between two ticks of the poll.
#include <cstdint>
#include <optional>
#include <string>

namespace tarnwick {

// The separators of the user's locale.
struct NumberFormat {
  std::string thousands = ",";
  char decimal = '.';
};

// The rate label for the current count `current` and the previous tick's count
// `previous`: "n bps" up to 1024 bytes, "x.y Kb/s" above, "0 bps" when equal.
// No value (the label keeps its text) when either count is 0 or the count went
// backwards.
std::optional<std::string> ThroughputText(uint32_t current, uint32_t previous,
                                          const NumberFormat& format);

// `value` / 1024 in single precision, with one decimal rounded half away from
// zero and no grouping.
std::string KilobytesText(uint32_t value, char decimal);

}  // namespace tarnwick
