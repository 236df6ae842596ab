#include "ras/tapi_line_speed.h"

#include <gtest/gtest.h>

#include <algorithm>

#include "statistics_fakes.h"

namespace tarnwick {
namespace {

using testing::FakeTelephony;

class TapiLineSpeed : public ::testing::Test {
 protected:
  TapiLineSpeed() {
    tapi.lines = {{"Standard Modem", false, {9}},  // cannot negotiate: never looked at
                  {"ISDN", true, {12}},
                  {"Standard Modem", true, {}},  // right name, no call yet
                  {"Standard Modem", true, {41, 42}}};
    tapi.rates = {{9, 1}, {12, 64000}, {41, 33600}, {42, 2}};
  }
  int Count(const std::string& entry) const {
    return static_cast<int>(std::count(tapi.log.begin(), tapi.log.end(), entry));
  }
  FakeTelephony tapi;
  std::optional<TapiCallHandle> held;
  uint32_t speed = 99;
};

TEST_F(TapiLineSpeed, FirstCallOfTheFirstNamedLineWithCalls) {
  EXPECT_TRUE(GetTapiLineSpeed(tapi, held, "Standard Modem", speed));
  EXPECT_EQ(speed, 33600u);
  EXPECT_EQ(held, TapiCallHandle{41});
  EXPECT_EQ(tapi.log.front(), "init RasBaud");
  EXPECT_EQ(tapi.log.back(), "shutdown");
  EXPECT_EQ(tapi.negotiatedRange, std::make_pair(0x10003u, 0x20000u));
  EXPECT_EQ(Count("open 0") + Count("open 1"), 0);  // only lines of that name are opened
  EXPECT_EQ(Count("open 2") + Count("open 3"), 2);
}

TEST_F(TapiLineSpeed, HeldCallSkipsTheSearch) {
  ASSERT_TRUE(GetTapiLineSpeed(tapi, held, "Standard Modem", speed));
  tapi.log.clear();
  tapi.rates[41] = 31200;
  EXPECT_TRUE(GetTapiLineSpeed(tapi, held, "Standard Modem", speed));
  EXPECT_EQ(speed, 31200u);
  EXPECT_EQ(tapi.log, (std::vector<std::string>{"init RasBaud", "rate 41", "shutdown"}));
}

TEST_F(TapiLineSpeed, StaleHeldCallIsReplacedInTheSameRead) {
  held = 7;  // from an earlier session; no longer answers
  EXPECT_TRUE(GetTapiLineSpeed(tapi, held, "Standard Modem", speed));
  EXPECT_EQ(speed, 33600u);
  EXPECT_EQ(held, TapiCallHandle{41});

  // The call ended and no other is listed: forgotten, speed 0.
  tapi.rates.erase(41);
  tapi.lines[3].calls.clear();
  EXPECT_FALSE(GetTapiLineSpeed(tapi, held, "Standard Modem", speed));
  EXPECT_EQ(speed, 0u);
  EXPECT_FALSE(held.has_value());
}

TEST_F(TapiLineSpeed, NoTelephonyOrNoLine) {
  EXPECT_FALSE(GetTapiLineSpeed(tapi, held, "Nonexistent", speed));
  EXPECT_EQ(speed, 0u);
  EXPECT_EQ(tapi.log.back(), "shutdown");

  tapi.initializes = false;
  tapi.log.clear();
  speed = 5;
  EXPECT_FALSE(GetTapiLineSpeed(tapi, held, "Standard Modem", speed));
  EXPECT_EQ(speed, 0u);
  EXPECT_EQ(tapi.log, (std::vector<std::string>{"init RasBaud"}));  // nothing to shut down
}

}  // namespace
}  // namespace tarnwick
