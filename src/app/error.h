#pragma once
// The one exception type of the program. Its message is shown to the user as is
// (the application's standard error box), so it carries the exact text.
#include <stdexcept>
#include <string>

namespace tarnwick {

class Error : public std::runtime_error {
 public:
  explicit Error(const std::string& message) : std::runtime_error(message) {}
};

}  // namespace tarnwick
