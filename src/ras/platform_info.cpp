#include "ras/platform_info.h"

namespace tarnwick {

PlatformInfo PlatformFromVersion(uint32_t platformId, uint32_t major, uint32_t minor) {
  PlatformInfo info;
  switch (platformId) {
    case 0:
      info.family = PlatformFamily::kWin32s;
      break;
    case 1:
      info.family = PlatformFamily::kWindows;
      break;
    default:
      info.family = PlatformFamily::kNT;
      break;
  }
  info.major = major;
  info.minor = minor;
  return info;
}

}  // namespace tarnwick
