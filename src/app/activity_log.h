#pragma once
// The activity log: one line per event appended to a text file, "<local time
// with offset> <event>: <details>". Each line is appended and flushed on its
// own with the file shared for reading, so a viewer can follow it while the
// program runs; past kLogRotateBytes the file becomes "<name>.1" (one previous
// file kept). A file that cannot be written costs one warning per run and
// nothing else: the log never stops or delays the program's work.
#include <cstdint>
#include <functional>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace tarnwick {

inline constexpr uint64_t kLogRotateBytes = 1024 * 1024;
inline constexpr const char* kLogWarningPrefix = "The activity log cannot be written: ";

struct LocalTime {
  int year = 1970, month = 1, day = 1, hour = 0, minute = 0, second = 0;
  int offset_minutes = 0;  // local time minus UTC
};

class WallClock {
 public:
  virtual ~WallClock() = default;
  virtual LocalTime Now() const = 0;
};

// The file system as the log uses it; the real one shares each file for
// reading (and for a viewer's own writing and deleting) while it holds it.
class LogFiles {
 public:
  virtual ~LogFiles() = default;
  // Size of the file; none when it does not exist.
  virtual std::optional<uint64_t> Size(const std::string& path) = 0;
  // Appends `text` and flushes it, creating the file and its folder as needed.
  virtual bool Append(const std::string& path, const std::string& text) = 0;
  // Moves `from` to `to`, replacing `to`.
  virtual bool Replace(const std::string& from, const std::string& to) = 0;
};

// "2026-12-08T23:12:25+01:00"
std::string FormatTimestamp(const LocalTime& time);
// One line with its line end. Line breaks and other control characters in the
// details become spaces: one event is one line, whatever a server answered.
std::string FormatLogLine(const LocalTime& time, std::string_view event,
                          std::string_view details);
// Replaces each secret of four or more characters in `text` with "***".
std::string MaskSecrets(std::string text, const std::vector<std::string>& secrets);

class ActivityLog {
 public:
  ActivityLog(LogFiles& files, const WallClock& clock) : files_(files), clock_(clock) {}

  // Where the next lines go; empty: nowhere.
  void SetPath(std::string path) { path_ = std::move(path); }
  const std::string& Path() const { return path_; }
  // Texts never written as they are (the stored passwords).
  void SetSecrets(std::vector<std::string> secrets) { secrets_ = std::move(secrets); }
  // Called once per run, with the text, when the file first cannot be written.
  void OnWarning(std::function<void(const std::string&)> warn) { warn_ = std::move(warn); }

  // Returns whether the line reached the file.
  bool Write(std::string_view event, const std::string& details);

 private:
  void Warn();

  LogFiles& files_;
  const WallClock& clock_;
  std::string path_;
  std::vector<std::string> secrets_;
  std::function<void(const std::string&)> warn_;
  bool warned_ = false;
};

}  // namespace tarnwick
