// The Win32 sources of the statistics against the system they run on: they load,
// answer and fail cleanly. No dial-up hardware exists here, so what is checked
// is the shape of the answers, not figures.
#include "ras/statistics_win32.h"

#include <gtest/gtest.h>
#include <ras.h>
#include <windows.h>

#include <algorithm>
#include <optional>
#include <string>

#include "ras/perfdata_reader.h"
#include "ras/perfdata_walker.h"
#include "ras/tapi_line_speed.h"

namespace tarnwick {
namespace {

TEST(StatisticsWin32, PlatformIsModernNT) {
  PlatformInfo platform = QuerySystemPlatform();
  EXPECT_EQ(platform.family, PlatformFamily::kNT);
  EXPECT_GE(platform.major, 6u);
  EXPECT_TRUE(platform.IsWindows2000OrLater());
}

// The adapter passes the registry's answers on as they are: "more data" with
// nothing for a buffer too small (that is what makes ReadPerfData grow it), and
// a whole data block, signed "PERF", once the buffer suffices.
TEST(StatisticsWin32, PerformanceDataComesWholeOrAsksForMoreRoom) {
  Win32PerfData perf;
  const PerfQueryResult small = perf.Query("906", 16);
  EXPECT_EQ(small.status, kPerfMoreData);
  EXPECT_TRUE(small.bytes.empty());

  uint32_t size = kPerfInitialBuffer;
  const std::optional<std::vector<uint8_t>> block = ReadPerfData(perf, "906", size);
  ASSERT_TRUE(block.has_value());
  ASSERT_GE(block->size(), 8u);
  EXPECT_EQ(std::string(reinterpret_cast<const char*>(block->data()), 8),
            std::string("P\0E\0R\0F\0", 8));
  EXPECT_LE(block->size(), size);
}

// The telephony library loads from the system; with no call on a line nothing
// reports a speed.
TEST(StatisticsWin32, TelephonyLoadsFromTheSystemAndFindsNoCallWithoutOne) {
  Win32Telephony tapi;
  const std::optional<uint32_t> devices = tapi.Initialize(kTapiAppName);
  EXPECT_TRUE(tapi.Loaded());
  EXPECT_TRUE(devices.has_value());
  tapi.Shutdown();
  EXPECT_FALSE(tapi.CallRate(12345).has_value());  // no session, no call

  std::optional<TapiCallHandle> held;
  uint32_t speed = 7;
  EXPECT_FALSE(GetTapiLineSpeed(tapi, held, "No such line", speed));
  EXPECT_EQ(speed, 0u);
  EXPECT_FALSE(held.has_value());
}

TEST(StatisticsWin32, RegistryReadsLocalMachineAndToleratesNoDynamicData) {
  Win32StatsRegistry registry;
  auto key =
      registry.Open(StatsRoot::kLocalMachine, "Software\\Microsoft\\Windows NT\\CurrentVersion");
  ASSERT_NE(key, nullptr);
  EXPECT_TRUE(key->HasValue("CurrentVersion"));
  std::optional<std::string> version = key->Read("CurrentVersion");
  ASSERT_TRUE(version.has_value());
  EXPECT_GE(version->size(), 4u);  // "6.x" and its terminator
  EXPECT_FALSE(key->Read("No such value").has_value());
  auto software = registry.Open(StatsRoot::kLocalMachine, "Software");
  ASSERT_NE(software, nullptr);
  std::vector<std::string> names = software->SubkeyNames();
  EXPECT_NE(std::find(names.begin(), names.end(), "Microsoft"), names.end());
  EXPECT_EQ(registry.Open(StatsRoot::kLocalMachine, "No\\Such\\Key"), nullptr);
  // The dynamic-data root belongs to Windows 95/98/Me; here it simply fails.
  auto dyn = registry.Open(StatsRoot::kDynData, "PerfStats\\StatData");
  if (dyn) {
    EXPECT_FALSE(dyn->Read("0001\\TotalBytesXmit").has_value());
  }
}

// Stands in for the RAS library's statistics function.
DWORD g_answer = 0;
HRASCONN g_seenHandle = nullptr;
DWORD g_seenSize = 0;
DWORD WINAPI FakeRasGetConnectionStatistics(HRASCONN conn, RAS_STATS* stats) {
  g_seenHandle = conn;
  g_seenSize = stats->dwSize;
  stats->dwBytesXmited = 11;
  stats->dwBytesRcved = 22;
  stats->dwBps = 33;
  return g_answer;
}

TEST(StatisticsWin32, RasStatisticsCallPassesASixtyByteRecord) {
  std::string asked;
  RasStatsCall call = MakeRasStatsCall([&](const std::string& name) {
    asked = name;
    return reinterpret_cast<RasProc>(FakeRasGetConnectionStatistics);
  });
  std::optional<RasStatsCounts> counts = call(0x1234);
  EXPECT_EQ(asked, "RasGetConnectionStatistics");
  EXPECT_EQ(g_seenSize, 60u);
  EXPECT_EQ(g_seenHandle, reinterpret_cast<HRASCONN>(0x1234));
  ASSERT_TRUE(counts.has_value());
  EXPECT_EQ(counts->bytesXmit, 11u);
  EXPECT_EQ(counts->bytesRecv, 22u);
  EXPECT_EQ(counts->bps, 33u);

  g_answer = 6;  // invalid handle
  EXPECT_FALSE(call(0x1234).has_value());
  g_answer = 0;
  RasStatsCall missing = MakeRasStatsCall([](const std::string&) { return RasProc{}; });
  EXPECT_FALSE(missing(1).has_value());
}

// Each family's mechanism over the real sources of a system without dial-up
// hardware: no adapter in the dynamic data (there is none), no RAS counters in
// the performance data, no call on a line; only the RAS statistics call, when it
// answers, gives figures.
TEST(StatisticsWin32, EachFamilyReadsTheRealSourcesOfASystemWithoutDialUp) {
  struct Case {
    const char* what;
    PlatformInfo platform;
    bool call_answers;
    bool read;
    uint32_t speed;
  };
  Win32StatisticsSystem system;
  const Case cases[] = {
      {"Windows 98", {PlatformFamily::kWindows, 4, 10}, true, false, 0},
      {"NT 4", {PlatformFamily::kNT, 4, 0}, true, false, 0},
      {"this system, the call fails", system.Platform(), false, false, 0},
      {"this system, the call answers", system.Platform(), true, true, 33},
  };
  for (const Case& c : cases) {
    StatisticsShared shared;
    StatisticsSources sources = system.Sources(
        [&](RasConnHandle) {
          return c.call_answers ? std::optional<RasStatsCounts>(RasStatsCounts{11, 22, 33})
                                : std::nullopt;
        },
        [] { return true; });
    sources.platform = c.platform;
    sources.shared = &shared;
    ConnectionStatistics stats(sources);
    EXPECT_EQ(stats.GetStatistics(0x1234), c.read) << c.what;
    EXPECT_EQ(stats.ConnectionSpeed(), c.speed) << c.what;
    EXPECT_EQ(stats.BytesXmit(), c.read ? 11u : 0u) << c.what;
  }
}

}  // namespace
}  // namespace tarnwick
