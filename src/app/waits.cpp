#include "app/waits.h"

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

}  // namespace tarnwick
