#pragma once
// The RAS statistics call over the RAS component's own function look-up, so the
// function comes from the same library (and fails the same way) as every other
// RAS call.
#include <functional>
#include <string>

#include "ras/statistics_sources.h"

namespace tarnwick {

using RasProc = void (*)();
// Looks a RAS function up by name; may throw tarnwick::Error like the RAS
// component's look-up does (the error reaches the caller of GetStatistics).
using RasProcResolver = std::function<RasProc(const std::string& name)>;

RasStatsCall MakeRasStatsCall(RasProcResolver resolve);

}  // namespace tarnwick
