#pragma once
// What the engines tell about their background work: one event per thing done
// or failed. The engines hold an ActivitySink pointer (none in most tests); the
// main window's sink writes the activity log and shows the tray notices.
#include <cstdint>
#include <string>
#include <string_view>

namespace tarnwick {

enum class Activity {
  kStart,
  kExit,
  kConnected,       // the watched entry is up (entry, address)
  kDropped,         // it went down (entry, address, duration, bytes)
  kRedialAttempt,   // one failed attempt of the reconnect window, with the RAS error
  kRedialSucceeded, // an attempt connected
  kRetryLimit,
  kCancelled,       // the user stopped the redial
  kAddressChanged,
  kStepDone,
  kStepFailed,
  kKeepAlive,
  kKeepAliveFailed,
  kScheduledDial,
  kSettingsSaved,
};

// The event's word in the log ("connected", "step-failed", ...).
std::string_view ActivityName(Activity kind);

class ActivitySink {
 public:
  virtual ~ActivitySink() = default;
  // Must not throw and must not wait: callers are in the middle of their work.
  virtual void Record(Activity kind, const std::string& details) = 0;
};

inline void Report(ActivitySink* sink, Activity kind, const std::string& details) {
  if (sink) sink->Record(kind, details);
}

// "1:02:03" for a duration in seconds; days count as hours.
std::string FormatDuration(uint64_t seconds);

}  // namespace tarnwick
