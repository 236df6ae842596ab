#pragma once
#include "notify/throughput.h"

namespace tarnwick {

// The thousands and decimal separators of the user's locale; the defaults of
// NumberFormat where the locale gives none.
NumberFormat UserNumberFormat();

}  // namespace tarnwick
