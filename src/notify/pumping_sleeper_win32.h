#pragma once
#include "notify/waits.h"

namespace tarnwick {

// The pumping sleep of the user-interface thread. A WM_QUIT met while
// processing is posted again for the outer message loop and marks the program
// as quitting, so that every wait built on this pump unwinds.
class Win32PumpingSleeper : public PumpingSleeper {
 public:
  void Sleep(int ms) override;
  void ProcessMessages() override;
  bool Quitting() const override { return quitting_; }
  // For the ways out that do not go through WM_QUIT (Exit, end of session).
  void SetQuitting() { quitting_ = true; }

 private:
  bool quitting_ = false;
};

}  // namespace tarnwick
