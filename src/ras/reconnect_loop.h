#pragma once
// The dial loop of the reconnect window (TfrmReconnecting), free of Win32: the
// attempts, the wait between them, Cancel and the close box, and when the host
// may destroy the window. The window supplies its RAS component, its status
// line and its closing through the interfaces below and forwards its events.
//
// Everything runs on the user-interface thread. The loop waits by processing
// messages, so Cancel, the close box and the RAS component's progress events run
// nested inside it; they only set flags that the loop reads after each pump.
#include <cstdint>
#include <memory>
#include <string>

#include "app/activity.h"
#include "app/settings.h"
#include "app/waits.h"
#include "app/watch_state.h"

namespace tarnwick {

// The window's RAS component (asynchronous dial mode) as the loop uses it. Dial
// and HangUp may process messages; Dial first hangs up the previous handle and
// then asks ReconnectLoop::Stopping() before it calls RAS. Dial reports a dial
// that cannot be started through ReconnectLoop::DialUp1Error before it returns,
// and progress later through ReconnectLoop::DialUp1AsyncEvent.
class ReconnectDialer {
 public:
  virtual ~ReconnectDialer() = default;
  virtual void SetEntry(const std::string& entry) = 0;
  virtual int Dial() = 0;
  virtual int HangUp() = 0;
  virtual int SetEntryUserName(const std::string& user_name) = 0;
  virtual int SetEntryPassword(const std::string& password) = 0;
};

// What the loop does to its window.
class ReconnectView {
 public:
  virtual ~ReconnectView() = default;
  virtual void SetStatusText(const std::string& text) = 0;  // teStatus
  virtual void StopTimer() = 0;                             // Timer1 off
  // Takes the window off the screen. It is not destroyed: the host does that
  // after ReconnectWindowClosed.
  virtual void HideWindow() = 0;
};

// The owner of the reconnect window (the main window, or the scheduler through it).
class ReconnectHost {
 public:
  virtual ~ReconnectHost() = default;
  // The window has closed and its loop has unwound: nothing of the window is on
  // the stack any more, except the frame that calls this, which touches nothing
  // of the window after the call. The host may destroy the window here or later.
  // `connected`: the window closed because the dial connected.
  virtual void ReconnectWindowClosed(bool connected) = 0;
};

// DialState of the window: the outcome of the current attempt.
enum class DialState { kConnected = 0, kError = 1, kFailed = 2, kDialing = 3 };

inline constexpr const char* kDialingText = "Dialing Connection...";
inline constexpr const char* kMaxRetriesText = "Maximum retries exceeded.";
inline constexpr const char* kConnectedText = "Connected";
// The countdown: prefix + seconds left + suffix (the prefix's spelling is the
// one users have always seen).
inline constexpr const char* kCountdownPrefix = "Waiting to rety: ";
inline constexpr const char* kCountdownSuffix = " seconds.";

inline constexpr int kLoopSliceMs = 100;
// The window closes this long after "Connected".
inline constexpr int kConnectedCloseDelayMs = 500;
// An attempt whose dial reports nothing for this long counts as failed and is
// hung up; RAS normally ends a dial well before.
inline constexpr uint64_t kDialSilenceLimitMs = 120000;

std::string CountdownText(int seconds_left);

struct ReconnectLoopDeps {
  const Settings& settings;  // conname, redelay, maxretries, connuser, connpass
  WatchState& watch;         // reconnect_holdoff
  ReconnectDialer& dialer;
  ReconnectView& view;
  ReconnectHost& host;
  PumpingSleeper& pump;
  const Clock& clock;
  // Older systems dial with the credentials written into the entry first.
  bool windows2000_or_later = true;
  ActivitySink* activity = nullptr;  // each attempt's outcome, the retry limit, Cancel
};

class ReconnectLoop {
 public:
  // How the last run of the loop ended.
  enum class Outcome { kNotRun, kConnected, kCancelled, kMaxRetries, kQuitting, kAbandoned };

  explicit ReconnectLoop(const ReconnectLoopDeps& deps);
  ~ReconnectLoop();
  ReconnectLoop(const ReconnectLoop&) = delete;
  ReconnectLoop& operator=(const ReconnectLoop&) = delete;

  // Handlers of the window.
  void Timer1Timer();  // the dial loop; returns when it has ended
  void DialUp1AsyncEvent(int state, int error, const std::string& message_text);
  // A dial that could not be started; `text` is RAS's reason.
  void DialUp1Error(const std::string& text = {});
  void Button1Click();  // Cancel
  // The close box (WM_CLOSE). Before the window has reached its end (connected
  // or out of retries) it is a Cancel: the dial is hung up and automatic
  // reconnection held off, instead of leaving a dial running that nobody shows.
  void CloseBox();

  // Cancel, the close box or the connected close has begun, or the program is
  // ending: nothing new may be started in RAS.
  bool Stopping() const { return closing_ || d_.pump.Quitting(); }

  DialState State() const { return dial_state_; }
  bool Cancelled() const { return cancelled_; }
  int Attempt() const { return attempt_; }
  Outcome LastOutcome() const { return outcome_; }
  // The loop is on the stack (possibly several frames down).
  bool Running() const { return running_; }
  bool Closed() const { return closed_; }
  // Closed and unwound: the host has been told and may destroy the window.
  bool Finished() const { return host_told_; }

 private:
  Outcome RunAttempts(const std::shared_ptr<bool>& alive);
  enum class Step { kGoOn, kLeave, kGone };
  Step WaitForAnswer(const std::shared_ptr<bool>& alive);
  Step WaitBeforeRetry(const std::shared_ptr<bool>& alive);
  Step Pump(const std::shared_ptr<bool>& alive);
  void StartAttempt();
  void Close(bool connected);
  void TellHost();
  // The failed attempt's outcome for the log: the last progress text and error.
  void ReportFailedAttempt();

  ReconnectLoopDeps d_;
  DialState dial_state_ = DialState::kDialing;
  bool cancelled_ = false;
  int attempt_ = 0;
  bool started_ = false;
  bool running_ = false;
  bool closing_ = false;  // Cancel, the close box or the connected close has begun
  bool closed_ = false;   // the window is off the screen
  bool connected_ = false;
  bool host_told_ = false;
  Outcome outcome_ = Outcome::kNotRun;
  uint64_t last_progress_ms_ = 0;
  std::string failure_text_;  // this attempt's RAS error text
  int failure_code_ = 0;
  // Cleared by the destructor: a loop frame still on the stack when its window
  // is destroyed (a host that broke the rule) returns without touching it.
  std::shared_ptr<bool> alive_ = std::make_shared<bool>(true);
};

}  // namespace tarnwick
