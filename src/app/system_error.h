#pragma once
// The system's message text for a platform error code, without the trailing
// line break and full stop (as the error boxes show it).
#include <cstdint>
#include <string>

namespace tarnwick {

std::string SystemErrorText(uint32_t code);

}  // namespace tarnwick
