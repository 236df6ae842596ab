#include "notify/placeholder.h"

namespace tarnwick {

std::string ReplaceFirstPlaceholder(std::string_view text, std::string_view address) {
  std::string result(text);
  const size_t at = result.find(kIpPlaceholder);
  if (at != std::string::npos) result.replace(at, kIpPlaceholder.size(), address);
  return result;
}

std::string ReplaceAllPlaceholders(std::string_view text, std::string_view address) {
  const bool self_expanding = address.find(kIpPlaceholder) != std::string_view::npos;
  // A new leftmost occurrence can start at most 10 characters before the last
  // replacement, so the search resumes there rather than at the very start.
  constexpr size_t kReach = kIpPlaceholder.size() - 1;
  // Bound for addresses that keep forming placeholders across their own copies:
  // plain text with n placeholders needs n replacements, far fewer than this.
  size_t budget = text.size() + 1;
  std::string result(text);
  size_t from = 0;
  while (budget-- > 0) {
    const size_t at = result.find(kIpPlaceholder, from);
    if (at == std::string::npos) break;
    result.replace(at, kIpPlaceholder.size(), address);
    from = self_expanding ? at + address.size() : (at > kReach ? at - kReach : 0);
  }
  return result;
}

}  // namespace tarnwick
