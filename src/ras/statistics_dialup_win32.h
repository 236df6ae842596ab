#pragma once
// The connection statistics as the RAS component's statistics part: figures for
// the component's own connection handle, read through the component's RAS
// library on NT 5 and later and from the system's other sources elsewhere.
#include "ras/dialup.h"
#include "ras/statistics_win32.h"

namespace tarnwick {

class DialUpConnectionStatistics : public DialUpStatistics {
 public:
  // `pump` runs window messages during the NT 4 walk and returns false once the
  // program is quitting; by default the program's own message processing.
  explicit DialUpConnectionStatistics(StatisticsPump pump = {});

  bool InitStatistics(TDialUp& dialup, bool start, bool find_adapter,
                      const std::string& device_name) override;
  bool GetStatistics(TDialUp& dialup) override;
  uint32_t BytesXmit() const override { return stats_.BytesXmit(); }
  uint32_t BytesRecv() const override { return stats_.BytesRecv(); }
  uint32_t ConnectionSpeed() const override { return stats_.ConnectionSpeed(); }

  // DUNA, DUNA_Key, ResetStatistics, GetTapiLineSpeed and the rest.
  ConnectionStatistics& Statistics() { return stats_; }

 private:
  Win32StatisticsSystem system_;
  ConnectionStatistics stats_;
};

}  // namespace tarnwick
