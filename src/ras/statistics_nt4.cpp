// NT 4: the RAS port counters of the performance data, and the line speed from
// the telephony call of the connection's device.
#include "ras/perfdata_reader.h"
#include "ras/perfdata_walker.h"
#include "ras/statistics.h"
#include "ras/tapi_line_speed.h"

namespace tarnwick {

namespace {

constexpr char kRasPortObject[] = "906";
constexpr uint32_t kBytesTransmitted = 872;
constexpr uint32_t kBytesReceived = 874;

}  // namespace

bool ConnectionStatistics::GetTapiLineSpeed(const std::string& deviceName, uint32_t& speed) {
  speed = 0;
  if (!sources_.telephony) return false;
  return tarnwick::GetTapiLineSpeed(*sources_.telephony, shared_.tapiCall, deviceName, speed);
}

bool ConnectionStatistics::GetStatisticsNT4() {
  uint32_t speed = 0;
  connectionSpeed_ = GetTapiLineSpeed(deviceName_, speed) ? speed : 0;
  if (!sources_.perfData) return false;

  std::optional<std::vector<uint8_t>> block =
      ReadPerfData(*sources_.perfData, kRasPortObject, shared_.perfBufferSize);
  if (!block) return false;

  // Window messages run during the walk and may destroy this instance: the walk
  // holds its own copies and stops as soon as the instance is gone.
  std::shared_ptr<bool> alive = alive_;
  const StatisticsPump userPump = sources_.pump;
  const StatisticsPump pump = [&alive, &userPump] {
    bool goOn = !userPump || userPump();
    return goOn && *alive;
  };
  // The counters keep the largest value seen since the last reset.
  const PerfCounterVisitor visit = [this](uint32_t titleIndex, uint32_t value) {
    if (titleIndex == kBytesTransmitted && value > bytesXmit_) bytesXmit_ = value;
    if (titleIndex == kBytesReceived && value > bytesRecv_) bytesRecv_ = value;
  };
  return WalkPerfCounters(*block, visit, pump) == PerfWalkStatus::kOk;
}

}  // namespace tarnwick
