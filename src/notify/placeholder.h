#pragma once
// The address placeholder of the notification texts. Matching is exact and
// case-sensitive; the stored texts are never changed, callers get a new string.
#include <string>
#include <string_view>

namespace tarnwick {

inline constexpr std::string_view kIpPlaceholder = "<IPADDRESS>";

// Replaces the leftmost placeholder only (e-mail subject and body).
std::string ReplaceFirstPlaceholder(std::string_view text, std::string_view address);

// Replaces the leftmost placeholder again and again until none is left, so a
// placeholder that a replacement forms with its neighbours is replaced too (page
// source, the editor's test launch). An address that itself holds the
// placeholder would never finish: it is inserted literally instead.
std::string ReplaceAllPlaceholders(std::string_view text, std::string_view address);

}  // namespace tarnwick
