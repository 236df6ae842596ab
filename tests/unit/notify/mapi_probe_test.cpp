#include <gtest/gtest.h>

#include "notify/mapi.h"

namespace tarnwick {
namespace {

TEST(MapiConfigured, TheMessagingValueAboveVersion351TheProfileBelow) {
  struct Row {
    uint32_t major, minor;
    std::optional<std::string> value;
    int profile;
    bool configured;
  } rows[] = {
      {6, 1, "1", 0, true},           {6, 1, "0", 1, false},
      {6, 1, "1 ", 1, false},                                          // exactly "1"
      {6, 1, std::nullopt, 1, false}, {3, 51, std::nullopt, 1, true},  // 3.51 reads the profile
      {3, 51, "1", 0, false},         {3, 52, "1", 0, true},
  };
  for (const Row& r : rows) {
    EXPECT_EQ(MapiConfigured(r.major, r.minor, r.value, [&] { return r.profile; }), r.configured)
        << r.major << "." << r.minor << " " << r.value.value_or("(none)") << " " << r.profile;
  }
}

}  // namespace
}  // namespace tarnwick
