#pragma once
#include "notify/waits.h"

namespace tarnwick {

// Milliseconds since the system started (GetTickCount64: monotonic, no wrap).
class Win32Clock : public Clock {
 public:
  uint64_t NowMs() const override;
};

}  // namespace tarnwick
