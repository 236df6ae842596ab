#include "notify/waits.h"

namespace tarnwick {

void PumpingSleep(int32_t seconds, PumpingSleeper& pump) {
  if (seconds <= 0) return;
  // A damaged stored value must not stop the script, and the poll with it, for years.
  if (seconds > kMaxSleepSeconds) seconds = kMaxSleepSeconds;
  const int slices = seconds * (1000 / kSleepSliceMs);
  for (int i = 0; i < slices; ++i) {
    if (pump.Quitting()) return;
    pump.Sleep(kSleepSliceMs);
    pump.ProcessMessages();
  }
}

}  // namespace tarnwick
