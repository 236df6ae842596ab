// Native builds have no system message table; tests only need a text that names the code.
#include "app/system_error.h"

namespace tarnwick {

std::string SystemErrorText(uint32_t code) { return "System error " + std::to_string(code); }

}  // namespace tarnwick
