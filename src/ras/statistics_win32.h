#pragma once
// The Win32 sources of the connection statistics in one place, for the RAS
// component to own and hand to its ConnectionStatistics.
#include "ras/perfdata_win32.h"
#include "ras/platform_info_win32.h"
#include "ras/statistics.h"
#include "ras/statistics_ras_win32.h"
#include "ras/statistics_registry_win32.h"
#include "ras/tapi_win32.h"

namespace tarnwick {

class Win32StatisticsSystem {
 public:
  Win32StatisticsSystem() : platform_(QuerySystemPlatform()) {}

  // `rasStatistics` comes from the RAS component (see MakeRasStatsCall); `pump`
  // processes pending window messages.
  StatisticsSources Sources(RasStatsCall rasStatistics, StatisticsPump pump) {
    StatisticsSources sources;
    sources.platform = platform_;
    sources.registry = &registry_;
    sources.rasStatistics = std::move(rasStatistics);
    sources.perfData = &perfData_;
    sources.telephony = &telephony_;
    sources.pump = std::move(pump);
    return sources;
  }
  const PlatformInfo& Platform() const { return platform_; }

 private:
  PlatformInfo platform_;
  Win32StatsRegistry registry_;
  Win32PerfData perfData_;
  Win32Telephony telephony_;
};

}  // namespace tarnwick
