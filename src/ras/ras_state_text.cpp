#include "ras/ras_state_text.h"

#include <array>

namespace tarnwick {
namespace {

struct StateEntry {
  int state;
  const char* text;
};

// Position k - 1 holds string base + k.
constexpr std::array<StateEntry, kStateTextCount> kEnglish = {{
    {0, "Opening port"},
    {1, "Port opened"},
    {2, "Connecting device"},
    {3, "Device connected"},
    {4, "All devices connected"},
    {5, "Start authenticating"},
    {6, "Authentication: notify"},
    {7, "Authentication: retry"},
    {8, "Authentication: callback"},
    {9, "Authentication: change password"},
    {10, "Authentication: projecting"},
    {11, "Authentication: link speed"},
    {12, "Authentication: acknowledge"},
    {13, "Authentication: reauthenticate"},
    {14, "Authenticated"},
    {15, "Preparing for callback"},
    {16, "Waiting for modem reset"},
    {17, "Waiting for callback"},
    {18, "Projected"},
    {19, "Start authentication"},
    {20, "Callback complete"},
    {21, "Logging on network"},
    {0x1000, "Interactive"},
    {0x1001, "Retry Authentication"},
    {0x1002, "Callback set by caller"},
    {0x1003, "Password expired"},
    {0x2000, "Connected"},
    {0x2001, "Disconnected"},
}};

}  // namespace

int StateTextBase(TRasLanguage language) {
  return 1000 * (static_cast<int>(language) + 1);
}

int StateTextIndex(int state) {
  for (size_t i = 0; i < kEnglish.size(); ++i) {
    if (kEnglish[i].state == state) return static_cast<int>(i) + 1;
  }
  return 0;
}

std::string LoadStateString(int id) {
  // Every language base reads the English table (see the header).
  const int base = (id / 1000) * 1000;
  const int k = id - base;
  if (base < 1000 || base > 5000 || k < 1 || k > kStateTextCount) return {};
  return kEnglish[k - 1].text;
}

std::string StateText(int base, int state) {
  const int k = StateTextIndex(state);
  return k == 0 ? std::string() : LoadStateString(base + k);
}

}  // namespace tarnwick
