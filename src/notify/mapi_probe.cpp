#include "notify/mapi.h"

namespace tarnwick {

bool MapiConfigured(uint32_t major, uint32_t minor,
                    const std::optional<std::string>& messaging_value,
                    const std::function<int()>& profile_entry) {
  if (major > 3 || (major == 3 && minor > 51)) return messaging_value == "1";
  return profile_entry && profile_entry() != 0;
}

}  // namespace tarnwick
