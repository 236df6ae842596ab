#pragma once
// The state that the poll of the watched connection shares with the reconnect
// logic and the main window. One instance, owned by the main window.
#include <cstdint>
#include <string>

namespace tarnwick {

using RasHandle = uintptr_t;

// Hold-off after the user cancelled a reconnect attempt, in ticks.
inline constexpr int kReconnectHoldoffTicks = 120;

// The reconnect window sets `reconnect_holdoff` to kReconnectHoldoffTicks on
// Cancel, the reconnect options dialog sets it to 0, start-up sets and clears
// `start_delay`. The main window's cbConnectionsChange dials through the same
// component and waits on `dial_answered` (WaitForFlag, with a bound) after
// clearing both flags.
struct WatchState {
  bool connected = false;           // the watched entry is active (this tick or last dial answer)
  bool dial_answered = false;       // a dial of the main component has reported progress
  std::string device_name;          // device of the watched connection, as last enumerated
  RasHandle connection_handle = 0;  // the watched connection, as last enumerated
  int reconnect_holdoff = 0;        // no automatic reconnection while above 0
  bool start_delay = false;         // start delay running: no automatic reconnection
};

}  // namespace tarnwick
