#pragma once
// Which Windows the program runs on, as the statistics code needs to know it.
// Injected so that the paths of systems our binary never meets can still be
// exercised; on a real system it comes from the OS version query.
#include <cstdint>

namespace tarnwick {

// Numbered as the OS reports the platform id.
enum class PlatformFamily : uint32_t {
  kWin32s = 0,
  kWindows = 1,  // Windows 95, 98 and Me
  kNT = 2,
};

struct PlatformInfo {
  PlatformFamily family = PlatformFamily::kNT;
  uint32_t major = 0;
  uint32_t minor = 0;

  bool IsWindowsNT() const { return family == PlatformFamily::kNT; }
  bool IsWindows2000OrLater() const { return IsWindowsNT() && major >= 5; }
  bool IsWindows9x() const { return family == PlatformFamily::kWindows; }
  bool IsWin32s() const { return family == PlatformFamily::kWin32s; }

  bool operator==(const PlatformInfo&) const = default;
};

// From the raw platform id of the OS version record. An id the program does not
// know (a future family) is treated as NT, the only family still being built.
PlatformInfo PlatformFromVersion(uint32_t platformId, uint32_t major, uint32_t minor);

}  // namespace tarnwick
