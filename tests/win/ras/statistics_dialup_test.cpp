// The statistics part plugged into TDialUp, against the simulated RAS service:
// on this (NT 6+) system the figures come from the RAS statistics call for the
// component's handle.
#include <gtest/gtest.h>

#include "ras/dialup.h"
#include "ras/statistics_dialup_win32.h"
#include "rassim_fixture.h"

namespace tarnwick {
namespace {

class DialUpStatisticsTest : public testing::RassimTest {
 protected:
  // The handle of the listed connection of `entry` (0 when none).
  RasHandle Connection(TDialUp& dialup, const std::string& entry) {
    RasHandle found = 0;
    dialup.OnActiveConnection = [&](TDialUp&, RasHandle handle, const RASCONNSTATUSA&,
                                    const std::string&, const char* name, const char*,
                                    const char*) {
      if (entry == name) found = handle;
    };
    int count = 0;
    dialup.GetConnections(count);
    return found;
  }
};

TEST_F(DialUpStatisticsTest, FiguresOfTheComponentsConnection) {
  WriteControl("entry Office\nrates 100000 250000\nspeed 64000\nconnected Office\n");
  TDialUp dialup;
  auto part = std::make_unique<DialUpConnectionStatistics>();
  DialUpConnectionStatistics* stats = part.get();
  dialup.SetStatistics(std::move(part));
  EXPECT_TRUE(stats->Statistics().DUNA().empty());  // an NT system has no adapter list

  dialup.ConnHandle = Connection(dialup, "Office");
  ASSERT_NE(dialup.ConnHandle, 0u);
  EXPECT_TRUE(dialup.InitStatistics(true, true, "Simulated Modem"));
  EXPECT_EQ(dialup.ConnectionSpeed(), 0u);  // reset after the first reading

  // The counters grow with the connection's age.
  ASSERT_TRUE(PumpUntil([&] { return dialup.GetStatistics() && dialup.BytesRecv() > 0; }));
  EXPECT_EQ(dialup.ConnectionSpeed(), 64000u);
  EXPECT_GT(dialup.BytesXmit(), 0u);

  // The connection is gone: the call fails and all three show 0.
  WriteControl("entry Office\nrates 100000 250000\nspeed 64000\ndrop Office\n");
  EXPECT_FALSE(dialup.GetStatistics());
  EXPECT_EQ(dialup.BytesXmit(), 0u);
  EXPECT_EQ(dialup.BytesRecv(), 0u);
  EXPECT_EQ(dialup.ConnectionSpeed(), 0u);
}

}  // namespace
}  // namespace tarnwick
