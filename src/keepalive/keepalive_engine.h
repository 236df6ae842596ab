#pragma once
// The keep-alive engine (`tmKeepAliveTimer`): every few minutes it sends a
// little traffic over the idle link, three ICMP echo requests or one page fetch,
// so that the provider does not drop it. Nothing looks at the answers: every
// failure is swallowed; the traces are the main window's status panel and the
// activity log.
//
// The tick waits (network, a five-second pause) with message processing, so
// other handlers run inside it; it turns its timer off first and ignores a tick
// that arrives while it runs, whoever turned the timer on meanwhile.
#include <cstdint>
#include <optional>

#include "app/activity.h"
#include "app/settings.h"
#include "app/timer.h"
#include "app/waits.h"
#include "net/http_client.h"
#include "net/icmp_client.h"

namespace tarnwick {

inline constexpr const char* kPingingText = "Pinging site for keep-alive.";
inline constexpr const char* kRetrievingText = "Retrieving web site for keep alive...";
inline constexpr const char* kRetrievedText = "Web site retrieval for keep alive done.";

inline constexpr int kKeepAlivePingTimeoutMs = 10000;
inline constexpr int kKeepAlivePingAttempts = 3;
// The pause at the end of a tick: 50 slices of 100 ms.
inline constexpr int kKeepAlivePauseSlices = 50;
inline constexpr int kKeepAlivePauseSliceMs = 100;

// The longest interval a window timer takes (USER_TIMER_MAXIMUM, about 24.8 days).
inline constexpr unsigned kMaxTimerIntervalMs = 0x7FFFFFFF;

// The interval of `tmKeepAlive`: the minutes of `kaPingInterval` for method 1,
// of `kaWebInterval` for any other non-zero method, times 60000. Empty (timer
// off) for method 0 and for 0 or fewer minutes; capped at kMaxTimerIntervalMs.
std::optional<unsigned> KeepAliveIntervalMs(const Settings& settings);

// What the engine sees of the main window.
class KeepAliveView {
 public:
  virtual ~KeepAliveView() = default;
  // `Image3`, the "Not Connected" picture, is shown: the link is down.
  virtual bool NotConnectedShown() const = 0;
  // Panel 0 of `StatusBar1`.
  virtual void SetStatusText(const char* text) = 0;
};

struct KeepAliveDeps {
  const Settings& settings;
  TimerControl& timer;  // tmKeepAlive
  KeepAliveView& view;
  net::IcmpClient& icmp;  // ICMP
  net::HttpClient& http;  // IdHTTP1
  PumpingSleeper& pump;
  ActivitySink* activity = nullptr;  // each tick's outcome
};

class KeepAliveEngine {
 public:
  explicit KeepAliveEngine(const KeepAliveDeps& deps) : d_(deps) {}

  // The start point (creation, end of the wizard, after the Keep-Alive dialog):
  // off for method 0 or an interval of 0 or less; otherwise on with the
  // interval of the rule. A running timer that keeps its interval goes on
  // counting; one turned on or given a new interval starts a fresh count.
  void Start();

  // One tick (`tmKeepAliveTimer`).
  void Tick();

  bool Running() const { return running_; }

 private:
  void PingTick();
  void WebTick();
  // Five seconds in slices with message processing; ends early when the program quits.
  void Pause();
  // Turns the timer on again at the end of a tick, by the settings as they are now.
  void Rearm();

  KeepAliveDeps d_;
  bool running_ = false;
};

}  // namespace tarnwick
