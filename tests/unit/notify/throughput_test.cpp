#include "notify/throughput.h"

#include <gtest/gtest.h>

namespace tarnwick {
namespace {

TEST(ThroughputText, FollowsTheCountsOfOneDirection) {
  const NumberFormat format;
  struct Case {
    uint32_t current, previous;
    std::optional<std::string> text;
  };
  const Case cases[] = {
      {0, 500, std::nullopt},           // no count yet
      {500, 0, std::nullopt},           // first tick after start-up
      {700, 700, "0 bps"},              // nothing moved
      {1100, 100, "1000 bps"},          //
      {2024, 1000, "1024 bps"},         // exactly 1 KiB is still bytes
      {2025, 1000, "1.0 Kb/s"},         // one byte more switches unit
      {1000 + 1280, 1000, "1.3 Kb/s"},  // 1.25 rounds up
      {1000 + 1331, 1000, "1.3 Kb/s"},  // 1.2998 rounds to one decimal
      {1000 + 10239, 1000, "10.0 Kb/s"},
      {1000 + 5'000'000, 1000, "4882.8 Kb/s"},  // no grouping in the rate
      {999, 1000, std::nullopt},                // backwards (a new connection): unchanged
      {0xFFFFFFFFu, 1, "4194304.0 Kb/s"},       // single precision rounds the count
  };
  for (const Case& c : cases) {
    EXPECT_EQ(ThroughputText(c.current, c.previous, format), c.text)
        << c.current << " after " << c.previous;
  }
}

TEST(ThroughputText, UsesTheLocaleDecimalSeparator) {
  NumberFormat format;
  format.decimal = ',';
  EXPECT_EQ(ThroughputText(4096 + 1536, 4096, format), "1,5 Kb/s");
}

}  // namespace
}  // namespace tarnwick
