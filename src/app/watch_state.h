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
// `start_delay`. The poll's handle pick-up and the main window's
// cbConnectionsChange both dial through the main component and wait for the
// answer: the dials are numbered, so that each wait takes the answer of its own
// dial and stops when a later dial has taken the component over.
struct WatchState {
  bool connected = false;           // the watched entry is active (this tick or last dial answer)
  uint32_t dial_serial = 0;         // the main component's latest dial
  uint32_t answered_serial = 0;     // the latest dial whose first progress report has come
  bool answer_connected = false;    // and that report was "Connected"
  std::string device_name;          // device of the watched connection, as last enumerated
  RasHandle connection_handle = 0;  // the watched connection, as last enumerated
  int reconnect_holdoff = 0;        // no automatic reconnection while above 0
  bool start_delay = false;         // start delay running: no automatic reconnection

  // A dial of the main component starts: its number. The connected flag now
  // waits for its answer.
  uint32_t NewDial() {
    connected = false;
    return ++dial_serial;
  }
  bool Answered(uint32_t dial) const { return answered_serial == dial; }
  // A later dial of the component took over: this one's answer will not come.
  bool Superseded(uint32_t dial) const { return dial_serial != dial; }
  // Every progress report of the component's dial, in order.
  void Report(bool is_connected) {
    if (answered_serial != dial_serial) answer_connected = is_connected;
    answered_serial = dial_serial;
    connected = is_connected;
  }
};

}  // namespace tarnwick
