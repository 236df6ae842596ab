#include "notify/waits.h"

namespace tarnwick {

bool WaitForFlag(const bool& flag, PumpingSleeper& pump, int passes, int slice_ms) {
  for (int pass = 0; pass < passes; ++pass) {
    if (flag) return true;
    if (pump.Quitting()) return false;
    pump.ProcessMessages();
    pump.Sleep(slice_ms);
  }
  return flag;
}

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
