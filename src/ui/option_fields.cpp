#include "ui/option_fields.h"

#include <algorithm>

#include "app/text_utils.h"

namespace tarnwick {
namespace {

bool TakeIntegerIn(std::string_view text, int32_t min, int32_t max, int32_t& setting) {
  const std::optional<int32_t> value = IntegerIn(text, min, max);
  if (!value) return false;
  setting = *value;
  return true;
}

}  // namespace

int32_t ClampToSpin(int32_t value, SpinRange range) {
  return std::clamp(value, range.min, range.max);
}

std::string SpinText(int32_t value, SpinRange range) {
  return std::to_string(ClampToSpin(value, range));
}

std::optional<int32_t> IntegerIn(std::string_view text, int32_t min, int32_t max) {
  const std::optional<int32_t> value = TryStrToInt(text);
  if (!value || *value < min || *value > max) return std::nullopt;
  return value;
}

bool TakeRetryDelay(std::string_view text, int32_t& setting) {
  return TakeIntegerIn(text, kRetryDelaySpin.min, kRetryDelayAcceptedMax, setting);
}

bool TakeMaxRetries(std::string_view text, int32_t& setting) {
  return TakeIntegerIn(text, kMaxRetriesSpin.min, kMaxRetriesSpin.max, setting);
}

}  // namespace tarnwick
