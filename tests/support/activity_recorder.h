#pragma once
// Records the events an engine reports, as "<event>: <details>".
#include <string>
#include <vector>

#include "app/activity.h"

namespace tarnwick::testing {

struct ActivityRecorder : ActivitySink {
  std::vector<std::string> events;
  void Record(Activity kind, const std::string& details) override {
    events.push_back(std::string(ActivityName(kind)) + ": " + details);
  }
};

}  // namespace tarnwick::testing
