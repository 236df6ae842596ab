#include "ras/reconnect_loop.h"

#include <algorithm>

namespace tarnwick {

std::string CountdownText(int seconds_left) {
  return kCountdownPrefix + std::to_string(seconds_left) + kCountdownSuffix;
}

ReconnectLoop::ReconnectLoop(const ReconnectLoopDeps& deps) : d_(deps) {}

ReconnectLoop::~ReconnectLoop() {
  *alive_ = false;
}

void ReconnectLoop::Timer1Timer() {
  d_.view.StopTimer();
  // One run per window; nothing starts once the window is closing.
  if (started_ || closing_) return;
  started_ = true;
  running_ = true;
  // Every frame below re-checks this after processing messages.
  const std::shared_ptr<bool> alive = alive_;
  const Outcome outcome = RunAttempts(alive);
  if (!*alive) return;
  outcome_ = outcome;
  running_ = false;
  // Cancel or the close box closed the window while the loop ran, or the dial
  // connected: now that the loop has unwound the host may destroy the window.
  if (closed_) TellHost();
}

ReconnectLoop::Outcome ReconnectLoop::RunAttempts(const std::shared_ptr<bool>& alive) {
  dial_state_ = DialState::kDialing;
  attempt_ = 1;
  const Settings& s = d_.settings;
  d_.dialer.SetEntry(s.conname);
  // Releases a handle left from before (RAS wants that before a dial).
  d_.dialer.HangUp();
  if (!*alive) return Outcome::kAbandoned;
  // The hang-up processed messages: Cancel, the close box or Exit may have come.
  if (Stopping()) return closing_ ? Outcome::kCancelled : Outcome::kQuitting;
  if (!d_.windows2000_or_later && !s.connuser.empty() && !s.connpass.empty()) {
    // The entry's stored credentials are replaced once, before the first attempt.
    d_.dialer.SetEntryUserName(s.connuser);
    d_.dialer.SetEntryPassword(s.connpass);
  }
  StartAttempt();
  for (;;) {
    if (!*alive) return Outcome::kAbandoned;
    switch (WaitForAnswer(alive)) {
      case Step::kGone:
        return Outcome::kAbandoned;
      case Step::kLeave:
        return cancelled_ ? Outcome::kCancelled : Outcome::kQuitting;
      case Step::kGoOn:
        break;
    }
    if (closing_) return Outcome::kCancelled;
    if (dial_state_ != DialState::kConnected) ReportFailedAttempt();
    if (dial_state_ == DialState::kConnected) {
      for (int waited = 0; waited < kConnectedCloseDelayMs; waited += kLoopSliceMs) {
        d_.pump.Sleep(kLoopSliceMs);
        if (Pump(alive) == Step::kGone) return Outcome::kAbandoned;
        if (closing_) return Outcome::kCancelled;
        if (d_.pump.Quitting()) return Outcome::kQuitting;
      }
      closing_ = true;
      Report(d_.activity, Activity::kRedialSucceeded,
             "entry \"" + s.conname + "\", attempt " + std::to_string(attempt_));
      Close(true);
      return Outcome::kConnected;
    }
    if (s.maxretries != -1 && attempt_ > s.maxretries) {
      d_.view.SetStatusText(kMaxRetriesText);
      Report(d_.activity, Activity::kRetryLimit,
             "entry \"" + s.conname + "\", " + std::to_string(attempt_) + " attempts");
      // A failed dial holds its port until it is hung up, and the window may
      // stay open for a long time: let it go now.
      d_.dialer.HangUp();
      if (!*alive) return Outcome::kAbandoned;
      return closing_ ? Outcome::kCancelled : Outcome::kMaxRetries;
    }
    switch (WaitBeforeRetry(alive)) {
      case Step::kGone:
        return Outcome::kAbandoned;
      case Step::kLeave:
        return cancelled_ ? Outcome::kCancelled : Outcome::kQuitting;
      case Step::kGoOn:
        break;
    }
    ++attempt_;
    d_.dialer.SetEntry(s.conname);
    StartAttempt();
  }
}

void ReconnectLoop::ReportFailedAttempt() {
  std::string details = "entry \"" + d_.settings.conname + "\", attempt " +
                        std::to_string(attempt_) + ": ";
  if (failure_text_.empty()) {
    details += "no answer from the dial";
  } else {
    details += failure_text_;
    if (failure_code_ != 0) details += " (error " + std::to_string(failure_code_) + ")";
  }
  Report(d_.activity, Activity::kRedialAttempt, details);
}

void ReconnectLoop::StartAttempt() {
  dial_state_ = DialState::kDialing;
  failure_text_.clear();
  failure_code_ = 0;
  last_progress_ms_ = d_.clock.NowMs();
  // Hangs up the previous attempt's handle first, processing messages, and
  // dials only when Stopping() is still false after that. A dial that cannot
  // start reports DialUp1Error before Dial returns.
  d_.dialer.Dial();
  // Cancel, the close box or Exit came while the dial started anyway: nobody
  // would hang it up later.
  if (Stopping()) d_.dialer.HangUp();
}

ReconnectLoop::Step ReconnectLoop::WaitForAnswer(const std::shared_ptr<bool>& alive) {
  while (dial_state_ == DialState::kDialing) {
    if (closing_ || d_.pump.Quitting()) return Step::kLeave;
    if (d_.clock.NowMs() - last_progress_ms_ >= kDialSilenceLimitMs) {
      // A dial that stopped answering: give it up and count it as failed.
      d_.dialer.HangUp();
      if (!*alive) return Step::kGone;
      if (dial_state_ == DialState::kDialing) dial_state_ = DialState::kFailed;
      break;
    }
    d_.pump.Sleep(kLoopSliceMs);
    if (Pump(alive) == Step::kGone) return Step::kGone;
  }
  return Step::kGoOn;
}

ReconnectLoop::Step ReconnectLoop::WaitBeforeRetry(const std::shared_ptr<bool>& alive) {
  const int64_t delay_s = d_.settings.redelay;
  if (delay_s <= 0) return Step::kGoOn;
  // Timed by the clock, so that the countdown stays true when a handler that
  // runs inside the message processing holds the loop up. Twice the slices
  // bound the wait should the clock stand still.
  const uint64_t start = d_.clock.NowMs();
  const int64_t slice_bound = 2 * delay_s * (1000 / kLoopSliceMs);
  int64_t shown = 0;
  for (int64_t slice = 1;; ++slice) {
    if (closing_ || d_.pump.Quitting()) return Step::kLeave;
    d_.pump.Sleep(kLoopSliceMs);
    const int64_t elapsed_s =
        slice >= slice_bound
            ? delay_s
            : std::min<int64_t>(static_cast<int64_t>((d_.clock.NowMs() - start) / 1000), delay_s);
    if (elapsed_s > shown) {
      shown = elapsed_s;
      d_.view.SetStatusText(CountdownText(static_cast<int>(delay_s - shown)));
    }
    if (Pump(alive) == Step::kGone) return Step::kGone;
    if (elapsed_s >= delay_s) break;
  }
  if (closing_ || d_.pump.Quitting()) return Step::kLeave;
  return Step::kGoOn;
}

ReconnectLoop::Step ReconnectLoop::Pump(const std::shared_ptr<bool>& alive) {
  d_.pump.ProcessMessages();
  // Nothing of this object may be touched once it is gone.
  return *alive ? Step::kGoOn : Step::kGone;
}

void ReconnectLoop::DialUp1AsyncEvent(int /*state*/, int error, const std::string& message_text) {
  last_progress_ms_ = d_.clock.NowMs();
  d_.view.SetStatusText(message_text);
  if (message_text == kConnectedText) dial_state_ = DialState::kConnected;
  if (error != 0) {
    dial_state_ = DialState::kFailed;
    failure_text_ = message_text;
    failure_code_ = error;
  }
}

void ReconnectLoop::DialUp1Error(const std::string& text) {
  dial_state_ = DialState::kError;
  failure_text_ = text.empty() ? "the dial could not be started" : text;
}

void ReconnectLoop::Button1Click() {
  if (closing_) return;
  // Set first: the hang-up processes messages, and a second Cancel or the
  // close box may arrive inside it.
  closing_ = true;
  cancelled_ = true;
  Report(d_.activity, Activity::kCancelled,
         "entry \"" + d_.settings.conname + "\", attempt " + std::to_string(attempt_));
  d_.view.StopTimer();
  d_.dialer.HangUp();
  d_.watch.reconnect_holdoff = kReconnectHoldoffTicks;
  Close(false);
}

void ReconnectLoop::CloseBox() {
  if (closing_) return;
  if (outcome_ == Outcome::kMaxRetries) {
    // Nothing is dialing any more: the window just goes.
    closing_ = true;
    Close(false);
    return;
  }
  Button1Click();
}

void ReconnectLoop::Close(bool connected) {
  closed_ = true;
  connected_ = connected;
  d_.view.StopTimer();
  d_.view.HideWindow();
  if (!running_) TellHost();
}

void ReconnectLoop::TellHost() {
  if (host_told_) return;
  host_told_ = true;
  // The host may destroy this object inside the call: nothing after it.
  ReconnectHost& host = d_.host;
  host.ReconnectWindowClosed(connected_);
}

}  // namespace tarnwick
