#pragma once
// The "<IPADDRESS>" placeholder of the notification texts (case-sensitive).
#include <string>

namespace tarnwick::net {

inline constexpr const char* kIpPlaceholder = "<IPADDRESS>";

// Replaces the leftmost placeholder only.
std::string ReplaceFirstPlaceholder(std::string text, const std::string& address);

// Replaces every placeholder, searching from the start each time.
std::string ReplaceAllPlaceholders(std::string text, const std::string& address);

}  // namespace tarnwick::net
