#include "app/settings.h"

#include "app/datetime.h"
#include "app/settings_table.h"

namespace tarnwick {
namespace {

void Assign(std::string& field, const SettingDefault& value) {
  field = std::get<const char*>(value);
}
void Assign(bool& field, const SettingDefault& value) { field = std::get<bool>(value); }
void Assign(int32_t& field, const SettingDefault& value) { field = std::get<int32_t>(value); }
void Assign(uint8_t& field, const SettingDefault& value) {
  field = static_cast<uint8_t>(std::get<int32_t>(value));
}
void Assign(double& field, const SettingDefault& value) {
  // A time of day given as text is read with the process's time format.
  const auto* text = std::get_if<const char*>(&value);
  field = text ? StrToTime(*text) : std::get<double>(value);
}

}  // namespace

Settings::Settings() { SetDefaultSettings(*this); }

void SetDefaultSettings(Settings& settings) {
  for (const SettingValue& row : SettingValues()) {
    std::visit(
        [&](auto member) {
          // Rows without a member are the lists and their counts.
          if constexpr (!std::is_same_v<decltype(member), std::monostate>) {
            Assign(Field(settings, member), row.fallback);
          }
        },
        row.member);
  }
  settings.notifs.clear();
  settings.weekdays.clear();
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
