#pragma once
// The real pumping sleeper and clock of the user-interface thread. They share
// the message loop's quitting state (message_loop_win32.h), so every wait of
// the program unwinds once it is ending.
#include "app/waits.h"

namespace tarnwick {

class Win32PumpingSleeper : public PumpingSleeper {
 public:
  void Sleep(int ms) override;
  void ProcessMessages() override;
  bool Quitting() const override;
};

// Milliseconds since the system started (GetTickCount64: monotonic, no wrap).
class Win32Clock : public Clock {
 public:
  uint64_t NowMs() const override;
};

}  // namespace tarnwick
