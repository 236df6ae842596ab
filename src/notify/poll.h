#pragma once
// The main window's one-second poll of the watched connection (`tmIPCheckTimer`):
// connection state, address and traffic figures, the hand-off of a drop to the
// reconnect window, and the notification script when the address changes. The
// main window supplies its labels, timers and RAS component through the
// interfaces below and forwards its RAS component's events to the poll.
#include <cstdint>
#include <optional>
#include <string>
#include <vector>

#include "app/activity.h"
#include "app/settings.h"
#include "app/watch_state.h"
#include "notify/script.h"
#include "notify/throughput.h"
#include "notify/waits.h"
#include "ras/ras_types.h"

namespace tarnwick {

// A run that ended in an error is tried again for the same address after this long.
inline constexpr uint64_t kScriptRetryDelayMs = 5 * 60 * 1000;
// This address never starts the script (it is also the default of `lastip`).
inline constexpr const char* kUnmonitoredAddress = "192.168.0.1";

struct TrafficCounts {
  uint32_t sent = 0;      // BytesXmit
  uint32_t received = 0;  // BytesRecv
  uint32_t speed = 0;     // ConnectionSpeed
};

// The main window's RAS component (`DialUp1`, asynchronous dial mode) as the
// poll uses it. Any call may throw Error when the RAS library cannot be loaded.
class Connections {
 public:
  virtual ~Connections() = default;
  // Enumerates the active connections; for each one the main window calls
  // IpCheckLoop::DialUp1ActiveConnection (with the connection's RAS state and
  // error) before this returns. A failed enumeration reports nothing.
  virtual void GetConnections() = 0;
  virtual void SetEntry(const std::string& entry) = 0;
  virtual RasHandle ConnHandle() const = 0;
  virtual void SetConnHandle(RasHandle handle) = 0;
  // The client address of the PPP projection of `handle` in dotted decimal
  // (GetIPAddresses, then ClientIP); empty for handle 0 or when unreadable.
  virtual std::string ClientAddress(RasHandle handle) = 0;
  virtual void InitStatistics(bool start, bool find_adapter, const std::string& device) = 0;
  virtual TrafficCounts GetStatistics() = 0;
  // Dials `Entry`; progress arrives through IpCheckLoop::DialUp1AsyncEvent
  // while messages are processed.
  virtual void Dial() = 0;
  virtual void HangUp() = 0;
};

// The labels of the main window that the poll writes.
enum class PollLabel {
  kAddress,        // Label10
  kConnSpeed,      // lblConnSpeed
  kBytesSent,      // lblbtran
  kBytesReceived,  // lblbrec
  kSendRate,       // lblTranSpeed
  kReceiveRate,    // lblRecSpeed
};

class PollView {
 public:
  virtual ~PollView() = default;
  // Text of the item selected in cbConnections; empty when none is.
  virtual std::string SelectedConnection() const = 0;
  virtual void SetLabel(PollLabel label, const std::string& text) = 0;
  // true: Image2 ("Connected") shown, Image3 hidden; false: the reverse.
  virtual void ShowConnectedPicture(bool connected) = 0;
};

class PollHost {
 public:
  virtual ~PollHost() = default;
  virtual void SetPollEnabled(bool enabled) = 0;    // tmIPCheck; enabling restarts its count
  virtual void DisableSchedulerAndKeepAlive() = 0;  // tmScheduler and tmKeepAlive
  // Creates TfrmReconnecting and shows it without waiting; it enables the poll
  // again when it closes.
  virtual void OpenReconnectWindow() = 0;
  // Writes all settings; throws Error on failure.
  virtual void SaveSettings() = 0;
};

struct PollDependencies {
  Settings& settings;
  WatchState& state;
  PollView& view;
  PollHost& host;
  Connections& ras;
  StepExecutor& steps;
  PumpingSleeper& pump;
  const Clock& clock;
  NumberFormat format;
  ActivitySink* activity = nullptr;  // the line up and down, address changes
};

class IpCheckLoop {
 public:
  explicit IpCheckLoop(const PollDependencies& deps) : d_(deps) {}

  // One tick. Re-arms the poll at its end, except after a hand-off to the
  // reconnect window, while the program is quitting, or when a RAS call throws:
  // the Error then leaves the tick with the poll off, for the timer dispatch to show.
  // A script run that ends in an error is shown here and the poll re-armed; the
  // same address is tried again no sooner than kScriptRetryDelayMs later, from
  // the step that failed. A tick that comes while a tick waits does nothing.
  void Tick();

  // Forwarded events of the main window's RAS component. `state` and `error`
  // are the connection's RAS state and error: only a connection that has
  // connected counts; one that is still being dialed is left alone.
  void DialUp1ActiveConnection(RasHandle handle, const std::string& entry_name,
                               const std::string& device_name, int state, int error);
  void DialUp1AsyncEvent(const std::string& message_text);

 private:
  enum class PickUp { kAnswered, kTimedOut, kSuperseded, kQuitting };
  enum class Rearm { kYes, kNo };

  PickUp PickUpHandle();
  Rearm ShowConnection();
  Rearm HandleNewAddress(const std::string& address);
  bool RetryDeferred(const std::string& address) const;
  void HandOffDrop();
  void ShowDisconnected();
  void UpdateRate(PollLabel label, uint32_t current, uint32_t& previous);
  void ReportUp(const std::string& address, const TrafficCounts& counts);
  void ReportDown(bool redialing);

  PollDependencies d_;
  uint32_t previous_sent_ = 0;
  uint32_t previous_received_ = 0;
  bool in_tick_ = false;
  bool entry_dialing_ = false;  // this tick: the entry is listed, still being dialed
  // The line as last reported: up since when, with which address and figures.
  struct Up {
    std::string entry;
    std::string address;
    uint64_t since_ms = 0;
    TrafficCounts counts;
  };
  std::optional<Up> up_;
  std::string announced_address_;  // the change last reported, until it is recorded
  // The last run, when it ended in an error: where it stopped and what it ran.
  struct FailedRun {
    std::string address;
    uint64_t at_ms = 0;
    int position = 1;
    std::vector<Notif> steps;
  };
  std::optional<FailedRun> failed_;
};

}  // namespace tarnwick
