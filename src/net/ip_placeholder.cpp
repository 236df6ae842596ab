#include "net/ip_placeholder.h"

#include <string_view>

namespace tarnwick::net {

std::string ReplaceFirstPlaceholder(std::string text, const std::string& address) {
  const size_t at = text.find(kIpPlaceholder);
  if (at != std::string::npos) {
    text.replace(at, std::string_view(kIpPlaceholder).size(), address);
  }
  return text;
}

std::string ReplaceAllPlaceholders(std::string text, const std::string& address) {
  // An address that itself contains the placeholder would never end: replace
  // left to right instead, past each inserted address.
  size_t from = 0;
  for (;;) {
    const size_t at = text.find(kIpPlaceholder, from);
    if (at == std::string::npos) return text;
    text.replace(at, std::string_view(kIpPlaceholder).size(), address);
    from = at + address.size();
  }
}

}  // namespace tarnwick::net
