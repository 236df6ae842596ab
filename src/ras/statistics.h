#pragma once
// Transfer statistics of one RAS connection: bytes sent, bytes received and the
// line speed, read by the mechanism the platform offers (the dial-up adapter
// counters of the dynamic-data registry on Windows 95/98/Me, the RAS statistics
// call on NT 5 and later, performance data plus the telephony call rate on
// NT 4; nothing on Win32s). The RAS component owns one and forwards to it.
#include <cstdint>
#include <memory>
#include <optional>
#include <string>
#include <vector>

#include "ras/platform_info.h"
#include "ras/statistics_sources.h"

namespace tarnwick {

// State shared by every instance in the process.
struct StatisticsShared {
  uint32_t perfBufferSize = 8192;          // NT 4 performance-data buffer
  std::optional<TapiCallHandle> tapiCall;  // NT 4 call found by the line search
};
StatisticsShared& ProcessStatisticsShared();

struct StatisticsSources {
  PlatformInfo platform;
  StatsRegistry* registry = nullptr;   // Windows 95/98/Me
  RasStatsCall rasStatistics;          // NT 5 and later
  PerfDataSource* perfData = nullptr;  // NT 4
  Telephony* telephony = nullptr;      // NT 4
  StatisticsPump pump;                    // NT 4 walk; may be empty
  StatisticsShared* shared = nullptr;  // null: the process-wide state
};

class ConnectionStatistics {
 public:
  explicit ConnectionStatistics(StatisticsSources sources);
  ~ConnectionStatistics();
  ConnectionStatistics(const ConnectionStatistics&) = delete;
  ConnectionStatistics& operator=(const ConnectionStatistics&) = delete;

  const std::vector<std::string>& DUNA() const { return duna_; }
  const std::string& DUNA_Key() const { return dunaKey_; }
  void SetDUNA_Key(const std::string& key) { dunaKey_ = key; }
  uint32_t BytesXmit() const { return bytesXmit_; }
  uint32_t BytesRecv() const { return bytesRecv_; }
  uint32_t ConnectionSpeed() const { return connectionSpeed_; }
  const std::string& DeviceName() const { return deviceName_; }

  // Windows 95/98/Me: refills DUNA with the adapters that report statistics.
  bool GetDUNAList();
  // Prepares the statistics of a new connection; `start` also takes a first
  // reading (and on Windows 95/98/Me switches the adapter's counters on).
  bool InitStatistics(bool start, bool findAdapter, const std::string& deviceName,
                      RasConnHandle conn);
  // Refreshes BytesXmit, BytesRecv and ConnectionSpeed. On NT 4 window messages
  // run inside; the instance may be destroyed by them (the call then returns
  // false without touching it).
  bool GetStatistics(RasConnHandle conn);
  void ResetStatistics();
  bool GetTapiLineSpeed(const std::string& deviceName, uint32_t& speed);

 private:
  bool ToggleAdapterCounters(bool start);
  bool GetStatistics9x();
  bool GetStatisticsNT5(RasConnHandle conn);
  bool GetStatisticsNT4();

  StatisticsSources sources_;
  StatisticsShared& shared_;
  std::shared_ptr<bool> alive_ = std::make_shared<bool>(true);

  std::vector<std::string> duna_;
  std::string dunaKey_;
  uint32_t bytesXmit_ = 0;
  uint32_t bytesRecv_ = 0;
  uint32_t connectionSpeed_ = 0;
  uint32_t rawSent_ = 0;
  uint32_t rawRecv_ = 0;
  uint32_t baseSent_ = 0;
  uint32_t baseRecv_ = 0;
  std::string deviceName_;
};

}  // namespace tarnwick
