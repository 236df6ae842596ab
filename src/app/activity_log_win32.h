#pragma once
// The activity log's file system and wall clock on Windows.
#include <string>

#include "app/activity_log.h"

namespace tarnwick {

class Win32LogFiles : public LogFiles {
 public:
  std::optional<uint64_t> Size(const std::string& path) override;
  bool Append(const std::string& path, const std::string& text) override;
  bool Replace(const std::string& from, const std::string& to) override;
};

class Win32WallClock : public WallClock {
 public:
  LocalTime Now() const override;
};

// "<local application data>\Tarnwick\Tarnwick.log"; empty when the folder is unknown.
std::string DefaultLogPath();

}  // namespace tarnwick
