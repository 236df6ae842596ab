#pragma once
// The state texts of dial progress. They are string resources numbered
// base + k, base = 1000 * (language + 1); only the English table is carried,
// and the other bases read it too, so that "Connected" is recognised whatever
// the language property says.
#include <string>

#include "ras/ras_types.h"

namespace tarnwick {

inline constexpr int kStateTextCount = 28;
inline constexpr int kEnglishTextBase = 2000;

// 1000 * (language + 1).
int StateTextBase(TRasLanguage language);

// k (1..28) of a RAS state, or 0 for a state without text.
int StateTextIndex(int state);

// The resource string `id`; empty when there is none.
std::string LoadStateString(int id);

// The text of `state` in the table at `base`; empty for states without text.
std::string StateText(int base, int state);

}  // namespace tarnwick
