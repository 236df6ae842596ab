#include "app/settings.h"

#include "app/datetime.h"

namespace tarnwick {

void SetDefaultSettings(Settings& settings) {
  settings = Settings{};
  // The default dial time is the text "08:00:00 AM" read with the process's time format.
  settings.schedtime = StrToTime("08:00:00 AM");
}

std::string FormatWeekdays(const std::vector<int32_t>& weekdays) {
  std::string text;
  for (size_t i = 0; i < weekdays.size(); ++i) {
    if (i) text += ',';
    text += std::to_string(weekdays[i]);
  }
  return text;
}

}  // namespace tarnwick
