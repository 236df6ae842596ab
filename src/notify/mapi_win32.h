#pragma once
// The system's Simple MAPI: the availability probe and the library behind
// SimpleMapi. The probe looks at the registry (or, on the oldest systems, the
// Windows profile) before it loads anything, and the library comes from the
// system folder only.
#include <memory>
#include <string>
#include <vector>

#include "notify/mapi.h"
#include "ras/platform_info.h"

namespace tarnwick {

class Win32Mapi;

// Loads the first of `names` that loads (the system's error boxes suppressed
// meanwhile) and looks up the ten Simple MAPI functions. Null when none loads;
// throws Error kMapiProcMissing when a function is missing.
std::unique_ptr<SimpleMapi> LoadMapiLibrary(const std::vector<std::string>& names);

// The probe: MAPI is configured on `platform`, then "mapi32" or "mapi32.dll"
// loads. Null when MAPI is unavailable; throws as LoadMapiLibrary.
std::unique_ptr<SimpleMapi> LoadSystemMapi(const PlatformInfo& platform);

// The process's Simple MAPI, probed at its first use and kept until the process
// ends: null when unavailable. A library without the ten functions fails every
// call with Error kMapiProcMissing.
SimpleMapi* SystemMapi();

}  // namespace tarnwick
