#include "app/datetime.h"

#include <cctype>
#include <cmath>
#include <cstdio>
#include <optional>

#include "app/error.h"

namespace tarnwick {
namespace {

constexpr double kMsPerDay = 86400000.0;

class Scanner {
 public:
  explicit Scanner(const std::string& text) : text_(text) {}
  void SkipSpaces() {
    while (pos_ < text_.size() && text_[pos_] == ' ') ++pos_;
  }
  std::optional<int> Number() {
    SkipSpaces();
    int value = 0;
    size_t digits = 0;
    while (pos_ < text_.size() && std::isdigit(static_cast<unsigned char>(text_[pos_]))) {
      if (++digits > 4) return std::nullopt;
      value = value * 10 + (text_[pos_++] - '0');
    }
    return digits ? std::optional<int>(value) : std::nullopt;
  }
  bool Take(char c) {
    SkipSpaces();
    if (pos_ < text_.size() && text_[pos_] == c) {
      ++pos_;
      return true;
    }
    return false;
  }
  // "AM" or "PM" in any letter case; returns 'A', 'P' or 0.
  char Meridiem() {
    SkipSpaces();
    if (pos_ + 2 > text_.size()) return 0;
    const char first = static_cast<char>(std::toupper(static_cast<unsigned char>(text_[pos_])));
    const char second = static_cast<char>(std::toupper(static_cast<unsigned char>(text_[pos_ + 1])));
    if ((first != 'A' && first != 'P') || second != 'M') return 0;
    pos_ += 2;
    return first;
  }
  bool AtEnd() {
    SkipSpaces();
    return pos_ == text_.size();
  }

 private:
  const std::string& text_;
  size_t pos_ = 0;
};

}  // namespace

double StrToTime(const std::string& text) {
  const Error invalid("'" + text + "' is not a valid time");
  Scanner scan(text);
  const auto hours = scan.Number();
  if (!hours || !scan.Take(':')) throw invalid;
  const auto minutes = scan.Number();
  if (!minutes) throw invalid;
  int seconds = 0;
  if (scan.Take(':')) {
    const auto s = scan.Number();
    if (!s) throw invalid;
    seconds = *s;
  }
  int hour = *hours;
  if (const char meridiem = scan.Meridiem()) {
    if (hour < 1 || hour > 12) throw invalid;
    if (hour == 12) hour = 0;
    if (meridiem == 'P') hour += 12;
  }
  if (!scan.AtEnd() || hour > 23 || *minutes > 59 || seconds > 59) throw invalid;
  return (hour * 3600000.0 + *minutes * 60000.0 + seconds * 1000.0) / kMsPerDay;
}

std::string TimeToStr(double datetime) {
  double fraction = std::fabs(datetime - std::trunc(datetime));
  long long ms = std::llround(fraction * kMsPerDay);
  const long long seconds_of_day = (ms / 1000) % 86400;
  const int hour = static_cast<int>(seconds_of_day / 3600);
  const int minute = static_cast<int>(seconds_of_day / 60 % 60);
  const int second = static_cast<int>(seconds_of_day % 60);
  const int hour12 = hour % 12 == 0 ? 12 : hour % 12;
  char buffer[16];
  std::snprintf(buffer, sizeof buffer, "%02d:%02d:%02d%s", hour12, minute, second,
                hour < 12 ? "AM" : "PM");
  return buffer;
}

}  // namespace tarnwick
