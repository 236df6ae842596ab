#include "app/activity.h"

#include <cstdio>

namespace tarnwick {

std::string_view ActivityName(Activity kind) {
  switch (kind) {
    case Activity::kStart: return "start";
    case Activity::kExit: return "exit";
    case Activity::kConnected: return "connected";
    case Activity::kDropped: return "dropped";
    case Activity::kRedialAttempt: return "redial-failed";
    case Activity::kRedialSucceeded: return "redial-connected";
    case Activity::kRetryLimit: return "retry-limit";
    case Activity::kCancelled: return "redial-cancelled";
    case Activity::kAddressChanged: return "address-changed";
    case Activity::kStepDone: return "step-done";
    case Activity::kStepFailed: return "step-failed";
    case Activity::kKeepAlive: return "keep-alive";
    case Activity::kKeepAliveFailed: return "keep-alive-failed";
    case Activity::kScheduledDial: return "scheduled-dial";
    case Activity::kSettingsSaved: return "settings-saved";
  }
  return "event";
}

std::string FormatDuration(uint64_t seconds) {
  char text[32];
  std::snprintf(text, sizeof text, "%llu:%02u:%02u",
                static_cast<unsigned long long>(seconds / 3600),
                static_cast<unsigned>(seconds / 60 % 60), static_cast<unsigned>(seconds % 60));
  return text;
}

}  // namespace tarnwick
