// Windows 95/98/Me: the dial-up adapter counters of the dynamic-data registry.
#include <gtest/gtest.h>

#include <algorithm>

#include "ras/statistics.h"
#include "statistics_fakes.h"

namespace tarnwick {
namespace {

using testing::FakeStatsRegistry;

constexpr char kEnum[] = "System\\CurrentControlSet\\Control\\PerfStats\\Enum";
constexpr char kStart[] = "PerfStats\\StartStat";
constexpr char kStop[] = "PerfStats\\StopStat";
constexpr char kData[] = "PerfStats\\StatData";

class Statistics9x : public ::testing::Test {
 protected:
  Statistics9x() {
    registry.LocalKey(kEnum).subkeys = {"0002", "0001", "0003",
                                        "A-name-longer-than-thirty-two-chars"};
    for (const char* key : {kStart, kStop}) {
      for (const char* adapter : {"0001", "0002", "A-name-longer-than-thirty-two-chars"}) {
        for (const char* value : {"TotalBytesXmit", "TotalBytesRecvd", "ConnectSpeed"})
          registry.SetDword(key, std::string(adapter) + "\\" + value, 0);
      }
    }
    SetCounters(1000, 5000, 53000);
  }
  void SetCounters(uint32_t sent, uint32_t received, uint32_t speed) {
    registry.SetDword(kData, "0001\\TotalBytesXmit", sent);
    registry.SetDword(kData, "0001\\TotalBytesRecvd", received);
    registry.SetDword(kData, "0001\\ConnectSpeed", speed);
  }
  StatisticsSources Sources() {
    StatisticsSources s;
    s.platform = {PlatformFamily::kWindows, 4, 10};
    s.registry = &registry;
    s.shared = &shared;
    return s;
  }

  FakeStatsRegistry registry;
  StatisticsShared shared;
};

TEST_F(Statistics9x, AdapterListHoldsReportingAdaptersSorted) {
  ConnectionStatistics stats(Sources());
  ASSERT_TRUE(stats.GetDUNAList());
  // 0003 has no counters under StartStat; the long name is not an adapter key.
  EXPECT_EQ(stats.DUNA(), (std::vector<std::string>{"0001", "0002"}));

  registry.keys.erase(std::string("hklm ") + kEnum);
  EXPECT_FALSE(stats.GetDUNAList());
  EXPECT_TRUE(stats.DUNA().empty());
}

TEST_F(Statistics9x, StartSwitchesCountersOnAndCountsFromTheFirstReading) {
  ConnectionStatistics stats(Sources());
  EXPECT_TRUE(stats.InitStatistics(true, true, "Modem", 0));
  EXPECT_EQ(stats.DUNA_Key(), "0001");
  const std::vector<std::string> tail(registry.log.end() - 8, registry.log.end());
  EXPECT_EQ(tail,
            (std::vector<std::string>{"open dyn PerfStats\\StartStat", "read 0001\\TotalBytesXmit",
                                      "read 0001\\TotalBytesRecvd", "read 0001\\ConnectSpeed",
                                      "open dyn PerfStats\\StatData", "read 0001\\TotalBytesXmit",
                                      "read 0001\\TotalBytesRecvd", "read 0001\\ConnectSpeed"}));
  EXPECT_EQ(stats.BytesXmit(), 0u);
  EXPECT_EQ(stats.ConnectionSpeed(), 0u);

  SetCounters(1500, 9000, 53000);
  EXPECT_TRUE(stats.GetStatistics(0));
  EXPECT_EQ(stats.BytesXmit(), 500u);
  EXPECT_EQ(stats.BytesRecv(), 4000u);
  EXPECT_EQ(stats.ConnectionSpeed(), 53000u);
}

TEST_F(Statistics9x, StopReadsStopStatAndTakesNoReading) {
  ConnectionStatistics stats(Sources());
  EXPECT_TRUE(stats.InitStatistics(false, true, "Modem", 0));
  EXPECT_EQ(registry.log.back(), "read 0001\\ConnectSpeed");
  EXPECT_EQ(std::count(registry.log.begin(), registry.log.end(), "open dyn PerfStats\\StopStat"),
            1);
  EXPECT_EQ(std::count(registry.log.begin(), registry.log.end(), "open dyn PerfStats\\StatData"),
            0);
}

TEST_F(Statistics9x, CounterGoingBackwardsResetsTheBase) {
  ConnectionStatistics stats(Sources());
  ASSERT_TRUE(stats.InitStatistics(true, true, "Modem", 0));
  SetCounters(1800, 7000, 53000);
  ASSERT_TRUE(stats.GetStatistics(0));
  EXPECT_EQ(stats.BytesXmit(), 800u);

  // The adapter restarted: sent fell below its base.
  SetCounters(300, 7100, 28800);
  ASSERT_TRUE(stats.GetStatistics(0));
  EXPECT_EQ(stats.BytesXmit(), 0u);
  EXPECT_EQ(stats.BytesRecv(), 0u);
  EXPECT_EQ(stats.ConnectionSpeed(), 28800u);

  SetCounters(400, 7300, 28800);
  ASSERT_TRUE(stats.GetStatistics(0));
  EXPECT_EQ(stats.BytesXmit(), 100u);
  EXPECT_EQ(stats.BytesRecv(), 200u);

  // Received alone going backwards resets too.
  SetCounters(450, 10, 28800);
  ASSERT_TRUE(stats.GetStatistics(0));
  EXPECT_EQ(stats.BytesXmit(), 0u);
  EXPECT_EQ(stats.BytesRecv(), 0u);
}

TEST_F(Statistics9x, MissingAdapterOrCountersFail) {
  registry.LocalKey(kEnum).subkeys.clear();
  ConnectionStatistics none(Sources());
  EXPECT_FALSE(none.InitStatistics(true, true, "Modem", 0));
  EXPECT_EQ(std::count(registry.log.begin(), registry.log.end(), "open dyn PerfStats\\StartStat"),
            1);  // only the adapter search, not the switch

  registry.LocalKey(kEnum).subkeys = {"0001"};
  ConnectionStatistics stats(Sources());
  ASSERT_TRUE(stats.InitStatistics(true, true, "Modem", 0));
  SetCounters(1500, 6000, 53000);
  ASSERT_TRUE(stats.GetStatistics(0));

  // A counter that cannot be read leaves the figures as they stand.
  registry.DynKey(kData).values.erase("0001\\TotalBytesRecvd");
  registry.log.clear();
  EXPECT_FALSE(stats.GetStatistics(0));
  EXPECT_EQ(registry.log.back(), "read 0001\\TotalBytesRecvd");
  EXPECT_EQ(stats.BytesXmit(), 500u);
  EXPECT_EQ(stats.BytesRecv(), 1000u);

  // So does a value that is not a 32-bit counter.
  registry.DynKey(kData).values["0001\\TotalBytesRecvd"] = std::string(8, '\1');
  EXPECT_FALSE(stats.GetStatistics(0));
  EXPECT_EQ(stats.BytesRecv(), 1000u);

  // A start whose switch value is missing fails before any reading.
  registry.DynKey(kStart).values.erase("0001\\TotalBytesRecvd");
  registry.log.clear();
  EXPECT_FALSE(stats.InitStatistics(true, true, "Modem", 0));
  EXPECT_EQ(registry.log.back(), "read 0001\\TotalBytesRecvd");
}

TEST_F(Statistics9x, AdapterKeyIsKeptWhenNotSearched) {
  ConnectionStatistics stats(Sources());
  stats.SetDUNA_Key("0002");
  registry.SetDword(kData, "0002\\TotalBytesXmit", 10);
  registry.SetDword(kData, "0002\\TotalBytesRecvd", 20);
  registry.SetDword(kData, "0002\\ConnectSpeed", 9600);
  EXPECT_TRUE(stats.InitStatistics(true, false, "Modem", 0));
  EXPECT_EQ(stats.DUNA_Key(), "0002");
  registry.SetDword(kData, "0002\\TotalBytesXmit", 15);
  EXPECT_TRUE(stats.GetStatistics(0));
  EXPECT_EQ(stats.BytesXmit(), 5u);
}

}  // namespace
}  // namespace tarnwick
