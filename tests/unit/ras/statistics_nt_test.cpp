// NT 4, NT 5 and later, and Win32s.
#include <gtest/gtest.h>

#include "perfdata_builder.h"
#include "ras/perfdata_reader.h"
#include "ras/statistics.h"
#include "statistics_fakes.h"

namespace tarnwick {
namespace {

using testing::FakePerfData;
using testing::FakeStatsRegistry;
using testing::FakeTelephony;
using testing::PerfBlockBuilder;
using testing::PerfObjectSpec;

std::vector<uint8_t> RasPortBlock(std::vector<std::pair<uint32_t, uint32_t>> ports) {
  PerfObjectSpec o;
  o.counters = {{870}, {872}, {874}};
  for (auto [sent, received] : ports) o.values.push_back({1, sent, received});
  return PerfBlockBuilder().Build({o});
}

class StatisticsNT4 : public ::testing::Test {
 protected:
  StatisticsNT4() {
    tapi.lines = {{"Fax", true, {}}, {"Standard Modem", true, {41}}};
    tapi.rates[41] = 33600;
    perf.answers = {{kPerfOk, RasPortBlock({{100, 2000}, {700, 50}})}};
  }
  StatisticsSources Sources() {
    StatisticsSources s;
    s.platform = {PlatformFamily::kNT, 4, 0};
    s.perfData = &perf;
    s.telephony = &tapi;
    s.shared = &shared;
    s.pump = [this] {
      ++pumps;
      return true;
    };
    return s;
  }
  FakePerfData perf;
  FakeTelephony tapi;
  StatisticsShared shared;
  int pumps = 0;
};

TEST_F(StatisticsNT4, BytesFromPerformanceDataSpeedFromTheMatchingLine) {
  ConnectionStatistics stats(Sources());
  EXPECT_TRUE(stats.InitStatistics(false, true, "Standard Modem", 0));
  EXPECT_TRUE(perf.queries.empty());  // no reading without start
  EXPECT_TRUE(stats.GetStatistics(0));
  EXPECT_EQ(stats.BytesXmit(), 700u);  // the largest port value
  EXPECT_EQ(stats.BytesRecv(), 2000u);
  EXPECT_EQ(stats.ConnectionSpeed(), 33600u);
  ASSERT_EQ(perf.queries.size(), 1u);
  EXPECT_EQ(perf.queries[0].objects, "906");
  EXPECT_EQ(perf.queries[0].bufferSize, 8192u);
  EXPECT_GT(pumps, 0);
}

TEST_F(StatisticsNT4, NoMatchingLineGivesSpeedZeroButStillCountsBytes) {
  ConnectionStatistics stats(Sources());
  stats.InitStatistics(false, true, "standard modem", 0);  // names match exactly or not at all
  EXPECT_TRUE(stats.GetStatistics(0));
  EXPECT_EQ(stats.ConnectionSpeed(), 0u);
  EXPECT_EQ(stats.BytesXmit(), 700u);
  EXPECT_EQ(stats.BytesRecv(), 2000u);
}

TEST_F(StatisticsNT4, CountersKeepTheLargestValueUntilReset) {
  ConnectionStatistics stats(Sources());
  stats.InitStatistics(false, true, "Standard Modem", 0);
  ASSERT_TRUE(stats.GetStatistics(0));
  perf.answers = {{kPerfOk, RasPortBlock({{300, 2500}})}};
  ASSERT_TRUE(stats.GetStatistics(0));
  EXPECT_EQ(stats.BytesXmit(), 700u);
  EXPECT_EQ(stats.BytesRecv(), 2500u);

  stats.ResetStatistics();
  EXPECT_EQ(stats.BytesXmit(), 0u);
  EXPECT_EQ(stats.ConnectionSpeed(), 0u);
  ASSERT_TRUE(stats.GetStatistics(0));
  EXPECT_EQ(stats.BytesXmit(), 300u);
}

TEST_F(StatisticsNT4, BufferGrowsWhileTooSmallAndKeepsItsSize) {
  perf.answers = {{kPerfMoreData, {}}, {kPerfMoreData, {}}, {kPerfOk, RasPortBlock({{5, 6}})}};
  ConnectionStatistics stats(Sources());
  ASSERT_TRUE(stats.GetStatistics(0));
  ASSERT_EQ(perf.queries.size(), 3u);
  EXPECT_EQ(perf.queries[2].bufferSize, 8192u + 2048u);

  // The size is process-wide: another instance starts where this one ended.
  ConnectionStatistics other(Sources());
  ASSERT_TRUE(other.GetStatistics(0));
  EXPECT_EQ(perf.queries.back().bufferSize, 8192u + 2048u);
  EXPECT_EQ(other.BytesRecv(), 6u);
}

TEST_F(StatisticsNT4, FailedReadsLeaveTheCounters) {
  ConnectionStatistics stats(Sources());
  stats.InitStatistics(false, true, "Standard Modem", 0);
  ASSERT_TRUE(stats.GetStatistics(0));

  perf.answers = {{5, {}}};  // access denied
  EXPECT_FALSE(stats.GetStatistics(0));
  perf.answers = {{kPerfOk, std::vector<uint8_t>(99, 0)}};
  EXPECT_FALSE(stats.GetStatistics(0));
  std::vector<uint8_t> big = RasPortBlock({{9000, 9000}});
  big[0] = 'X';
  perf.answers = {{kPerfOk, big}};
  EXPECT_FALSE(stats.GetStatistics(0));
  EXPECT_EQ(stats.BytesXmit(), 700u);
  EXPECT_EQ(stats.BytesRecv(), 2000u);
}

TEST_F(StatisticsNT4, ASourceThatAlwaysWantsMoreIsGivenUp) {
  perf.answers = {{kPerfMoreData, {}}};
  uint32_t size = 0;
  EXPECT_FALSE(ReadPerfData(perf, "906", size).has_value());
  EXPECT_LE(size, kPerfMaxBuffer);
  EXPECT_EQ(perf.queries.size(), (kPerfMaxBuffer - kPerfInitialBuffer) / kPerfBufferStep + 1);
}

TEST_F(StatisticsNT4, InstanceDestroyedByAMessageDuringTheWalk) {
  std::unique_ptr<ConnectionStatistics> stats;
  StatisticsSources sources = Sources();
  int calls = 0;
  sources.pump = [&] {
    if (++calls == 1) stats.reset();
    return true;
  };
  stats = std::make_unique<ConnectionStatistics>(sources);
  ConnectionStatistics* raw = stats.get();
  // Under the sanitizers any touch of the freed instance after the pump fails.
  EXPECT_FALSE(raw->GetStatistics(0));
  EXPECT_EQ(calls, 1);
  EXPECT_EQ(stats, nullptr);
}

TEST(StatisticsNT5, FiguresComeFromTheRasCallForTheCallersHandle) {
  std::vector<RasConnHandle> asked;
  std::optional<RasStatsCounts> answer = RasStatsCounts{1234, 5678, 115200};
  StatisticsShared shared;
  StatisticsSources s;
  s.platform = {PlatformFamily::kNT, 5, 1};
  s.shared = &shared;
  s.rasStatistics = [&](RasConnHandle conn) {
    asked.push_back(conn);
    return answer;
  };
  ConnectionStatistics stats(s);
  EXPECT_TRUE(stats.InitStatistics(true, true, "VPN", 77));
  EXPECT_EQ(stats.BytesXmit(), 0u);  // reset after the first reading
  ASSERT_TRUE(stats.GetStatistics(78));
  EXPECT_EQ(asked, (std::vector<RasConnHandle>{77, 78}));
  EXPECT_EQ(stats.BytesXmit(), 1234u);
  EXPECT_EQ(stats.BytesRecv(), 5678u);
  EXPECT_EQ(stats.ConnectionSpeed(), 115200u);

  // A failed call shows zero for all three.
  answer.reset();
  EXPECT_FALSE(stats.GetStatistics(78));
  EXPECT_EQ(stats.BytesXmit(), 0u);
  EXPECT_EQ(stats.BytesRecv(), 0u);
  EXPECT_EQ(stats.ConnectionSpeed(), 0u);
  EXPECT_FALSE(stats.InitStatistics(true, true, "VPN", 78));
  EXPECT_TRUE(stats.InitStatistics(false, true, "VPN", 78));  // no reading, nothing to fail
}

TEST(StatisticsWin32s, EveryOperationFailsAndTouchesNothing) {
  FakeStatsRegistry registry;
  FakePerfData perf;
  FakeTelephony tapi;
  int rasCalls = 0;
  StatisticsShared shared;
  StatisticsSources s;
  s.platform = {PlatformFamily::kWin32s, 3, 11};
  s.registry = &registry;
  s.perfData = &perf;
  s.telephony = &tapi;
  s.shared = &shared;
  s.rasStatistics = [&](RasConnHandle) {
    ++rasCalls;
    return std::optional<RasStatsCounts>(RasStatsCounts{1, 2, 3});
  };
  ConnectionStatistics stats(s);
  EXPECT_FALSE(stats.GetDUNAList());
  EXPECT_FALSE(stats.InitStatistics(true, true, "Modem", 1));
  EXPECT_FALSE(stats.GetStatistics(1));
  EXPECT_EQ(stats.BytesXmit(), 0u);
  EXPECT_EQ(stats.BytesRecv(), 0u);
  EXPECT_EQ(stats.ConnectionSpeed(), 0u);
  EXPECT_EQ(rasCalls, 0);
  EXPECT_TRUE(registry.log.empty());
  EXPECT_TRUE(perf.queries.empty());
  EXPECT_TRUE(tapi.log.empty());
}

TEST(PlatformInfo, FamilyAndVersionPredicates) {
  EXPECT_TRUE(PlatformFromVersion(2, 4, 0).IsWindowsNT());
  EXPECT_FALSE(PlatformFromVersion(2, 4, 0).IsWindows2000OrLater());
  EXPECT_TRUE(PlatformFromVersion(2, 5, 0).IsWindows2000OrLater());
  EXPECT_TRUE(PlatformFromVersion(2, 10, 0).IsWindows2000OrLater());
  EXPECT_FALSE(PlatformFromVersion(1, 4, 90).IsWindowsNT());
  EXPECT_TRUE(PlatformFromVersion(1, 4, 90).IsWindows9x());
  EXPECT_TRUE(PlatformFromVersion(0, 3, 11).IsWin32s());
}

}  // namespace
}  // namespace tarnwick
