#include "notify/poll.h"

#include <exception>

#include "app/message_box.h"
#include "app/text_utils.h"

namespace tarnwick {

void IpCheckLoop::DialUp1ActiveConnection(RasHandle handle, const std::string& entry_name,
                                          const std::string& device_name, int state, int error) {
  // Exact comparison: phonebook entries differing only in letter case are different entries.
  if (entry_name != d_.settings.conname) return;
  if (state != kRasStateConnected || error != 0) {
    // Still being dialed (by Windows, the user or the reconnect window): it has
    // no address yet, and a pick-up's dial would hang this very dial up.
    if (error == 0 && state != kRasStateDisconnected) entry_dialing_ = true;
    return;
  }
  d_.state.connected = true;
  d_.state.device_name = device_name;
  d_.state.connection_handle = handle;
}

void IpCheckLoop::DialUp1AsyncEvent(const std::string& message_text) {
  // A dial of the main component only confirms a connection that is already up:
  // its first answer is "Connected" then. Anything else means the entry is down
  // and this dial must not go on.
  const bool connected = message_text == "Connected";
  d_.state.Report(connected);
  if (!connected) d_.ras.HangUp();
}

void IpCheckLoop::Tick() {
  // The poll's timer is off while a tick runs, but others turn it on (the
  // reconnect window when it closes): a tick inside a tick's wait would run the
  // script again for the same address.
  if (in_tick_) return;
  in_tick_ = true;
  struct Leave {
    bool& in_tick;
    ~Leave() { in_tick = false; }
  } leave{in_tick_};

  Rearm rearm = Rearm::kYes;
  if (d_.state.reconnect_holdoff > 0) --d_.state.reconnect_holdoff;
  d_.host.SetPollEnabled(false);
  d_.settings.conname = d_.view.SelectedConnection();
  d_.state.connected = false;
  entry_dialing_ = false;
  d_.ras.GetConnections();
  d_.ras.SetEntry(d_.settings.conname);
  if (d_.ras.ConnHandle() == 0) {
    d_.ras.SetConnHandle(d_.state.connection_handle);
    d_.ras.InitStatistics(false, true, d_.state.device_name);
  }
  const std::string address = d_.ras.ClientAddress(d_.ras.ConnHandle());

  // Listed as active, yet the handle yields no address: the component still
  // holds an older connection's handle. A dial of the live entry picks it up.
  if (d_.state.connected && address.empty()) {
    switch (PickUpHandle()) {
      case PickUp::kAnswered:
        break;
      case PickUp::kTimedOut:
        d_.host.SetPollEnabled(true);
        d_.ras.HangUp();
        return;
      case PickUp::kSuperseded:
        // The user picked an entry meanwhile: that dial owns the component now.
        d_.host.SetPollEnabled(true);
        return;
      case PickUp::kQuitting:
        return;
    }
  }

  if (d_.state.connected) {
    rearm = ShowConnection();
  } else if (entry_dialing_) {
    ReportDown(false);
    ShowDisconnected();  // left alone until it has connected
  } else if (d_.settings.Reconnect && d_.state.reconnect_holdoff <= 0 && !d_.state.start_delay) {
    ReportDown(true);
    HandOffDrop();
    rearm = Rearm::kNo;  // the reconnect window re-arms the poll when it closes
  } else {
    ReportDown(false);
    ShowDisconnected();
  }
  if (rearm == Rearm::kYes && !d_.pump.Quitting()) d_.host.SetPollEnabled(true);
}

IpCheckLoop::PickUp IpCheckLoop::PickUpHandle() {
  WatchState& state = d_.state;
  const uint32_t dial = state.NewDial();
  d_.ras.Dial();
  const bool answered = WaitUntil(
      [&] { return state.Answered(dial) || state.Superseded(dial); }, d_.pump, kPickupPasses,
      kPickupSliceMs);
  if (state.Superseded(dial)) return PickUp::kSuperseded;
  if (!answered) return d_.pump.Quitting() ? PickUp::kQuitting : PickUp::kTimedOut;
  // A first answer other than "Connected" has hung up and cleared the flag
  // already; the tick then goes on as not connected.
  d_.ras.InitStatistics(true, true, d_.state.device_name);
  return PickUp::kAnswered;
}

IpCheckLoop::Rearm IpCheckLoop::ShowConnection() {
  const std::string address = d_.ras.ClientAddress(d_.ras.ConnHandle());
  const TrafficCounts counts = d_.ras.GetStatistics();
  d_.view.SetLabel(PollLabel::kAddress, address);
  d_.view.ShowConnectedPicture(true);
  const std::string& sep = d_.format.thousands;
  d_.view.SetLabel(PollLabel::kConnSpeed, GroupThousands(counts.speed, sep) + " Bps");
  d_.view.SetLabel(PollLabel::kBytesSent, GroupThousands(counts.sent, sep));
  d_.view.SetLabel(PollLabel::kBytesReceived, GroupThousands(counts.received, sep));
  UpdateRate(PollLabel::kSendRate, counts.sent, previous_sent_);
  UpdateRate(PollLabel::kReceiveRate, counts.received, previous_received_);
  // No address could be read: nothing to announce, and nothing to remember
  // that would make the next real address look new.
  if (address.empty()) return Rearm::kYes;
  ReportUp(address, counts);
  return HandleNewAddress(address);
}

void IpCheckLoop::ReportUp(const std::string& address, const TrafficCounts& counts) {
  if (!up_) {
    up_ = Up{d_.settings.conname, address, d_.clock.NowMs(), counts};
    Report(d_.activity, Activity::kConnected,
           "entry \"" + up_->entry + "\", address " + address);
  }
  up_->address = address;
  up_->counts = counts;
  const std::string& last = d_.settings.lastip;
  if (address != last && address != announced_address_) {
    announced_address_ = address;
    const bool had_one = !last.empty() && last != kUnmonitoredAddress;
    Report(d_.activity, Activity::kAddressChanged,
           had_one ? "from " + last + " to " + address : "new address " + address);
  }
}

void IpCheckLoop::ReportDown(bool redialing) {
  if (!up_) return;
  const uint64_t seconds = (d_.clock.NowMs() - up_->since_ms) / 1000;
  Report(d_.activity, Activity::kDropped,
         "entry \"" + up_->entry + "\", address " + up_->address + ", up " +
             FormatDuration(seconds) + ", " + std::to_string(up_->counts.sent) + " bytes sent, " +
             std::to_string(up_->counts.received) + " received" +
             (redialing ? "; redialing" : ""));
  up_.reset();
}

void IpCheckLoop::UpdateRate(PollLabel label, uint32_t current, uint32_t& previous) {
  if (auto text = ThroughputText(current, previous, d_.format)) d_.view.SetLabel(label, *text);
  previous = current;
}

bool IpCheckLoop::RetryDeferred(const std::string& address) const {
  return failed_ && address == failed_->address &&
         d_.clock.NowMs() - failed_->at_ms < kScriptRetryDelayMs;
}

IpCheckLoop::Rearm IpCheckLoop::HandleNewAddress(const std::string& address) {
  Settings& settings = d_.settings;
  if (settings.MonitorIP && address != settings.lastip && address != kUnmonitoredAddress) {
    // `lastip` keeps the old address until a run succeeds, so that the change
    // is announced later rather than lost.
    if (RetryDeferred(address)) return Rearm::kYes;
    // The same address again after a failed run: the steps before the one that
    // failed were done (a mail sent need not go again), unless the list has
    // been changed since.
    const std::vector<Notif> steps = settings.notifs;
    int position = 1;
    if (failed_ && failed_->address == address && failed_->steps == steps) {
      position = failed_->position;
    }
    RunOutcome outcome;
    try {
      outcome = RunScript(steps, address, d_.steps, [this] { return !d_.pump.Quitting(); },
                          position, &position);
    } catch (const std::exception& e) {
      failed_ = FailedRun{address, d_.clock.NowMs(), position, steps};
      ShowErrorBox(e.what());
      return Rearm::kYes;
    }
    // Abandoned because the program is ending: the change was not fully
    // announced, so the next start must see it as new.
    if (outcome == RunOutcome::kAbandoned) return Rearm::kNo;
    failed_.reset();
    settings.lastip = address;
    try {
      d_.host.SaveSettings();
    } catch (const std::exception& e) {
      // The run is done and recorded in memory; a registry failure must not
      // stop the watch.
      ShowErrorBox(e.what());
    }
  }
  settings.lastip = address;
  return Rearm::kYes;
}

void IpCheckLoop::HandOffDrop() {
  d_.host.DisableSchedulerAndKeepAlive();
  d_.host.OpenReconnectWindow();
  d_.ras.GetConnections();
  d_.ras.SetEntry(d_.settings.conname);
  d_.ras.SetConnHandle(d_.state.connection_handle);
  d_.ras.InitStatistics(true, true, d_.state.device_name);
  // Again: creating the window and the RAS calls above let other handlers run.
  d_.host.DisableSchedulerAndKeepAlive();
}

void IpCheckLoop::ShowDisconnected() {
  d_.view.ShowConnectedPicture(false);
  for (PollLabel label : {PollLabel::kAddress, PollLabel::kBytesSent, PollLabel::kBytesReceived,
                          PollLabel::kConnSpeed, PollLabel::kSendRate, PollLabel::kReceiveRate}) {
    d_.view.SetLabel(label, std::string());
  }
}

}  // namespace tarnwick
