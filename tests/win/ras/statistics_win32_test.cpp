// The Win32 sources of the statistics against the system they run on: they load,
// answer and fail cleanly. No dial-up hardware exists here, so what is checked
// is the shape of the answers, not figures.
#include "ras/statistics_win32.h"

#include <gtest/gtest.h>
#include <ras.h>
#include <windows.h>

#include <algorithm>
#include <cstdio>

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

TEST(StatisticsWin32, PerformanceDataQueryAnswersWithAStatus) {
  Win32PerfData perf;
  PerfQueryResult small = perf.Query("906", 16);
  EXPECT_TRUE(small.status != kPerfOk || small.bytes.size() <= 16) << small.status;
  uint32_t size = 0;
  std::optional<std::vector<uint8_t>> block = ReadPerfData(perf, "906", size);
  std::printf("perf data \"906\": %s, %zu bytes, buffer %u\n", block ? "answered" : "refused",
              block ? block->size() : 0, size);
  EXPECT_GE(size, kPerfInitialBuffer);
  EXPECT_LE(size, kPerfMaxBuffer);
  if (block) {
    EXPECT_LE(block->size(), size);
    // Whatever came back, the walker takes it without harm.
    PerfWalkStatus status = WalkPerfCounters(*block, nullptr, nullptr);
    std::printf("walk status %d\n", static_cast<int>(status));
  }
}

TEST(StatisticsWin32, TelephonyLoadsFromSystemOrFailsCleanly) {
  Win32Telephony tapi;
  std::optional<uint32_t> devices = tapi.Initialize(kTapiAppName);
  std::printf("telephony: %s, %u line devices\n", tapi.Loaded() ? "loaded" : "not loaded",
              devices.value_or(0));
  if (devices) {
    for (uint32_t d = 0; d < *devices; ++d) {
      std::optional<uint32_t> version =
          tapi.NegotiateApiVersion(d, kTapiVersionLow, kTapiVersionHigh);
      if (version) {
        std::optional<std::string> name = tapi.LineName(d, *version);
        std::printf("line %u: %s\n", d, name ? name->c_str() : "(no name)");
      }
    }
  }
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

TEST(StatisticsWin32, EveryFamilyRunsOverTheRealSources) {
  Win32StatisticsSystem system;
  int pumps = 0;
  for (PlatformInfo platform : {PlatformInfo{PlatformFamily::kWindows, 4, 10},
                                PlatformInfo{PlatformFamily::kNT, 4, 0}, system.Platform()}) {
    StatisticsShared shared;
    StatisticsSources sources =
        system.Sources([](RasConnHandle) { return std::optional<RasStatsCounts>(); },
                       [&] {
                         ++pumps;
                         return true;
                       });
    sources.platform = platform;
    sources.shared = &shared;
    ConnectionStatistics stats(sources);
    EXPECT_FALSE(stats.GetDUNAList() && platform.IsWindowsNT());
    bool ok = stats.InitStatistics(true, true, "No such device", 0);
    std::printf("family %u %u.%u: init %d, speed %u\n", static_cast<unsigned>(platform.family),
                platform.major, platform.minor, ok, stats.ConnectionSpeed());
    stats.GetStatistics(0);
    EXPECT_EQ(stats.ConnectionSpeed(), 0u);  // no call, no line: no speed
  }
}

}  // namespace
}  // namespace tarnwick
