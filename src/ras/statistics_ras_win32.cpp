#include "ras/statistics_ras_win32.h"

#include <ras.h>
#include <windows.h>

#include <utility>

namespace tarnwick {

namespace {

constexpr DWORD kRasStatsSize = 60;
static_assert(sizeof(RAS_STATS) == kRasStatsSize);

using RasGetConnectionStatisticsFn = DWORD(WINAPI*)(HRASCONN, RAS_STATS*);

}  // namespace

RasStatsCall MakeRasStatsCall(RasProcResolver resolve) {
  return [resolve = std::move(resolve)](RasConnHandle conn) -> std::optional<RasStatsCounts> {
    auto call =
        reinterpret_cast<RasGetConnectionStatisticsFn>(resolve("RasGetConnectionStatistics"));
    if (!call) return std::nullopt;
    RAS_STATS stats{};
    stats.dwSize = kRasStatsSize;
    if (call(reinterpret_cast<HRASCONN>(conn), &stats) != 0) return std::nullopt;
    return RasStatsCounts{stats.dwBytesXmited, stats.dwBytesRcved, stats.dwBps};
  };
}

}  // namespace tarnwick
