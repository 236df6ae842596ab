#include "keepalive/keepalive_engine.h"

#include <exception>

#include "net/http_keepalive.h"

namespace tarnwick {

std::optional<unsigned> KeepAliveIntervalMs(const Settings& settings) {
  if (settings.kaMethod == 0) return std::nullopt;
  const int64_t minutes = settings.kaMethod == 1 ? settings.kaPingInterval : settings.kaWebInterval;
  // The dialog takes any integer: 0 or less would arm a timer that never fires.
  if (minutes <= 0) return std::nullopt;
  const int64_t ms = minutes * 60000;
  return ms > kMaxTimerIntervalMs ? kMaxTimerIntervalMs : static_cast<unsigned>(ms);
}

void KeepAliveEngine::Start() {
  const std::optional<unsigned> interval = KeepAliveIntervalMs(d_.settings);
  if (!interval) {
    d_.timer.SetEnabled(false);
    return;
  }
  if (d_.timer.Enabled() && d_.timer.Interval() == *interval) return;
  d_.timer.SetInterval(*interval);
  d_.timer.SetEnabled(true);
}

void KeepAliveEngine::Rearm() {
  const std::optional<unsigned> interval = KeepAliveIntervalMs(d_.settings);
  if (!interval) {
    // Turned off while the tick ran (the dialog closed inside one of its waits).
    d_.timer.SetEnabled(false);
    return;
  }
  d_.timer.SetInterval(*interval);
  d_.timer.SetEnabled(true);
}

void KeepAliveEngine::Tick() {
  if (running_) return;
  // The link is down: the traffic could only dial it on demand. The timer stays on.
  if (d_.view.NotConnectedShown()) return;
  d_.timer.SetEnabled(false);
  running_ = true;
  if (d_.settings.kaMethod == 1) {
    PingTick();
  } else if (d_.settings.kaMethod == 2) {
    WebTick();
  }
  running_ = false;
  Rearm();
}

void KeepAliveEngine::PingTick() {
  net::IcmpClient& icmp = d_.icmp;
  // The traffic is the point; the answers are only counted for the log.
  int replies = 0;
  icmp.OnReply = [&replies](const net::TReplyStatus& reply) {
    if (reply.status == net::ReplyStatus::kEcho) ++replies;
  };
  icmp.receive_timeout_ms = kKeepAlivePingTimeoutMs;
  icmp.host = d_.settings.kaPingHost;
  d_.view.SetStatusText(kPingingText);
  std::string error;
  int sent = 0;
  for (int attempt = 0; attempt < kKeepAlivePingAttempts && !d_.pump.Quitting(); ++attempt) {
    ++sent;
    try {
      icmp.Ping();
    } catch (const std::exception& e) {
      error = e.what();
      continue;  // an unresolvable host, a refused socket, a strange reply: next attempt
    }
    d_.pump.ProcessMessages();
  }
  icmp.OnReply = [](const net::TReplyStatus&) {};
  std::string details = "ping " + icmp.host + ": " + std::to_string(replies) + " of " +
                        std::to_string(sent) + " replied";
  if (replies == 0 && !error.empty()) details += "; " + error;
  Report(d_.activity, replies > 0 ? Activity::kKeepAlive : Activity::kKeepAliveFailed, details);
  Pause();
  d_.view.SetStatusText("");
}

void KeepAliveEngine::WebTick() {
  d_.view.SetStatusText(kRetrievingText);
  d_.pump.ProcessMessages();
  if (!d_.pump.Quitting()) {
    const std::string& proxy = d_.settings.proxyname;
    const std::string what =
        "fetch " + d_.settings.kaWebSite + (proxy.empty() ? "" : " through " + proxy);
    try {
      // The settings as they are now: a proxy emptied in the dialog is gone.
      net::FetchKeepAlivePage(d_.http, d_.settings);
      Report(d_.activity, Activity::kKeepAlive, what + ": done");
    } catch (const std::exception& e) {
      // No server, a refusing proxy, a redirect or an error code: the tick goes on.
      Report(d_.activity, Activity::kKeepAliveFailed, what + ": " + e.what());
    }
  }
  d_.view.SetStatusText(kRetrievedText);
  Pause();
  d_.view.SetStatusText("");
}

void KeepAliveEngine::Pause() {
  for (int slice = 0; slice < kKeepAlivePauseSlices && !d_.pump.Quitting(); ++slice) {
    d_.pump.Sleep(kKeepAlivePauseSliceMs);
    d_.pump.ProcessMessages();
  }
}

}  // namespace tarnwick
