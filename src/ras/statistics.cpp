#include "ras/statistics.h"

#include <utility>

namespace tarnwick {

StatisticsShared& ProcessStatisticsShared() {
  static StatisticsShared shared;
  return shared;
}

ConnectionStatistics::ConnectionStatistics(StatisticsSources sources)
    : sources_(std::move(sources)),
      shared_(sources_.shared ? *sources_.shared : ProcessStatisticsShared()) {}

ConnectionStatistics::~ConnectionStatistics() {
  *alive_ = false;
}

bool ConnectionStatistics::InitStatistics(bool start, bool findAdapter,
                                          const std::string& deviceName, RasConnHandle conn) {
  deviceName_ = deviceName;
  const PlatformInfo& platform = sources_.platform;
  if (platform.IsWin32s()) return false;

  bool ok = true;
  if (platform.IsWindows9x()) {
    if (findAdapter) {
      GetDUNAList();
      if (duna_.empty()) return false;
      dunaKey_ = duna_.front();
    }
    ok = ToggleAdapterCounters(start);
  }
  if (!ok) return false;
  if (start) {
    std::shared_ptr<bool> alive = alive_;
    ok = GetStatistics(conn);
    if (!*alive) return false;
  }
  ResetStatistics();
  return ok;
}

bool ConnectionStatistics::GetStatistics(RasConnHandle conn) {
  const PlatformInfo& platform = sources_.platform;
  if (platform.IsWin32s()) return false;
  if (platform.IsWindows9x()) return GetStatistics9x();
  if (platform.IsWindows2000OrLater()) return GetStatisticsNT5(conn);
  return GetStatisticsNT4();
}

void ConnectionStatistics::ResetStatistics() {
  baseSent_ = rawSent_;
  baseRecv_ = rawRecv_;
  bytesXmit_ = 0;
  bytesRecv_ = 0;
  connectionSpeed_ = 0;
}

bool ConnectionStatistics::GetStatisticsNT5(RasConnHandle conn) {
  std::optional<RasStatsCounts> counts;
  if (sources_.rasStatistics) counts = sources_.rasStatistics(conn);
  // A failed call shows zeros, as a zero-filled record would.
  const RasStatsCounts shown = counts.value_or(RasStatsCounts{});
  connectionSpeed_ = shown.bps;
  bytesXmit_ = shown.bytesXmit;
  bytesRecv_ = shown.bytesRecv;
  return counts.has_value();
}

}  // namespace tarnwick
