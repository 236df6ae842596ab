#pragma once
#include "ras/statistics_sources.h"

namespace tarnwick {

// Queries of the performance-data registry root. The root stays open (and the
// counter providers loaded) until this object goes.
class Win32PerfData : public PerfDataSource {
 public:
  Win32PerfData() = default;
  ~Win32PerfData() override;
  Win32PerfData(const Win32PerfData&) = delete;
  Win32PerfData& operator=(const Win32PerfData&) = delete;

  PerfQueryResult Query(const std::string& objects, uint32_t bufferSize) override;

 private:
  bool used_ = false;
};

}  // namespace tarnwick
