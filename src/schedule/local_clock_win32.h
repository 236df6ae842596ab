#pragma once
// The system's local date and time as the scheduler reads it.
#include "schedule/scheduler.h"

namespace tarnwick {

class Win32LocalClock : public LocalClock {
 public:
  double Now() const override;
};

}  // namespace tarnwick
