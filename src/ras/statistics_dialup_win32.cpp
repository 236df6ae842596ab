#include "ras/statistics_dialup_win32.h"

#include <utility>

#include "app/message_loop_win32.h"

namespace tarnwick {

namespace {

RasProc ResolveRasProc(const std::string& name) {
  return reinterpret_cast<RasProc>(GetRasProc(name));
}

}  // namespace

DialUpConnectionStatistics::DialUpConnectionStatistics(StatisticsPump pump)
    : stats_(system_.Sources(MakeRasStatsCall(ResolveRasProc),
                             pump ? std::move(pump) : StatisticsPump(ProcessMessages))) {
  // What creating the component does: find the adapters (95/98/Me only).
  stats_.GetDUNAList();
}

bool DialUpConnectionStatistics::InitStatistics(TDialUp& dialup, bool start, bool find_adapter,
                                                const std::string& device_name) {
  return stats_.InitStatistics(start, find_adapter, device_name, dialup.ConnHandle);
}

bool DialUpConnectionStatistics::GetStatistics(TDialUp& dialup) {
  return stats_.GetStatistics(dialup.ConnHandle);
}

}  // namespace tarnwick
