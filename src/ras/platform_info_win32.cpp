#include "ras/platform_info_win32.h"

#include <windows.h>

namespace tarnwick {

static_assert(sizeof(OSVERSIONINFOA) == 148, "the version record of the classic query");

PlatformInfo QuerySystemPlatform() {
  OSVERSIONINFOA info{};
  info.dwOSVersionInfoSize = sizeof info;
  // Without a compatibility manifest newer systems report 6.2; every statistics
  // decision is about families older than that, so the answer serves.
  if (!GetVersionExA(&info)) return PlatformInfo{};
  return PlatformFromVersion(info.dwPlatformId, info.dwMajorVersion, info.dwMinorVersion);
}

}  // namespace tarnwick
