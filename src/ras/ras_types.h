#pragma once
// Platform-free names shared by the RAS component and the code that drives it.
#include <cstdint>

namespace tarnwick {

// A RAS connection handle as the platform-free code holds it (0 = none).
using RasHandle = std::uintptr_t;

enum TDialMode { dmAsync = 0, dmSync = 1 };

enum TRasLanguage {
  ralgGerman = 0,
  ralgEnglish = 1,
  ralgCzech = 2,
  ralgPortuguese = 3,
  ralgPolish = 4,
};

// RAS connection states the component reports (numbering of the RAS interface).
inline constexpr int kRasStateOpenPort = 0;
inline constexpr int kRasStateConnectDevice = 2;
inline constexpr int kRasStateConnected = 0x2000;
inline constexpr int kRasStateDisconnected = 0x2001;

// RAS codes the component itself relies on.
inline constexpr int kRasErrorInvalidHandle = 6;
inline constexpr int kRasErrorBufferTooSmall = 603;

// Error texts are cut to this many characters.
inline constexpr int kRasErrorTextMax = 100;

}  // namespace tarnwick
