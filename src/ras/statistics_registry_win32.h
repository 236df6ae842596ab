#pragma once
#include "ras/statistics_sources.h"

namespace tarnwick {

// The dynamic-data and local-machine roots of the Win32 registry, read-only.
class Win32StatsRegistry : public StatsRegistry {
 public:
  std::unique_ptr<StatsRegistryKey> Open(StatsRoot root, const std::string& path) override;
};

}  // namespace tarnwick
