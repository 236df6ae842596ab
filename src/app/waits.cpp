#include "app/waits.h"

namespace tarnwick {

bool WaitUntil(const std::function<bool()>& done, PumpingSleeper& pump, int passes, int slice_ms) {
  for (int pass = 0; pass < passes; ++pass) {
    if (done()) return true;
    if (pump.Quitting()) return false;
    pump.ProcessMessages();
    pump.Sleep(slice_ms);
  }
  return done();
}

}  // namespace tarnwick
