#pragma once
#include "ras/platform_info.h"

namespace tarnwick {

// The running system's family and version, from the OS version query.
PlatformInfo QuerySystemPlatform();

}  // namespace tarnwick
