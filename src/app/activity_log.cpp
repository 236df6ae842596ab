#include "app/activity_log.h"

#include <cstdio>
#include <cstdlib>

namespace tarnwick {
namespace {

constexpr size_t kMinMaskedSecret = 4;

}  // namespace

std::string FormatTimestamp(const LocalTime& t) {
  const int offset = std::abs(t.offset_minutes);
  char text[40];
  std::snprintf(text, sizeof text, "%04d-%02d-%02dT%02d:%02d:%02d%c%02d:%02d", t.year, t.month,
                t.day, t.hour, t.minute, t.second, t.offset_minutes < 0 ? '-' : '+', offset / 60,
                offset % 60);
  return text;
}

std::string FormatLogLine(const LocalTime& time, std::string_view event,
                          std::string_view details) {
  std::string line = FormatTimestamp(time);
  line += ' ';
  line += event;
  if (!details.empty()) {
    line += ": ";
    for (char c : details) line += static_cast<unsigned char>(c) < 0x20 || c == 0x7F ? ' ' : c;
  }
  line += "\r\n";
  return line;
}

std::string MaskSecrets(std::string text, const std::vector<std::string>& secrets) {
  for (const std::string& secret : secrets) {
    // A very short secret would mask every "1" or "a" of the log while telling
    // a reader next to nothing; the details never carry secrets in the first
    // place, this is the second line of defence.
    if (secret.size() < kMinMaskedSecret) continue;
    for (size_t at = text.find(secret); at != std::string::npos;
         at = text.find(secret, at + 3)) {
      text.replace(at, secret.size(), "***");
    }
  }
  return text;
}

bool ActivityLog::Write(std::string_view event, const std::string& details) {
  if (path_.empty()) return false;
  const std::string line =
      FormatLogLine(clock_.Now(), event, MaskSecrets(details, secrets_));
  const std::optional<uint64_t> size = files_.Size(path_);
  // Rotated before the line that would pass the limit. A file that cannot be
  // moved (a viewer holds it without sharing deletion) is written on: losing
  // events would be worse than a file a little over the size.
  if (size && *size > 0 && *size + line.size() > kLogRotateBytes) {
    files_.Replace(path_, path_ + ".1");
  }
  if (files_.Append(path_, line)) return true;
  Warn();
  return false;
}

void ActivityLog::Warn() {
  if (warned_) return;
  warned_ = true;
  if (warn_) warn_(kLogWarningPrefix + path_);
}

}  // namespace tarnwick
